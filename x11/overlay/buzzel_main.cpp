// The Linux program's entry: start-up in the Windows program's order, the frame loop, shut-down.
// A failed start writes an ERROR line to the start log and ends with exit code 1.
#include "fly_image.h"
#include "frame_loop.h"
#include "log_file.h"
#include "narrow_args.h"
#include "rand15.h"
#include "settings.h"
#include "start_messages.h"
#include "swarm.h"
#include "x11_frame.h"
#include "x11_window.h"

#include <cstdio>
#include <ctime>

static const int EXIT_START_FAILED = 1;

// One START line with the command line as a shell would type it back.
static void write_start_line(int argc, const char* const* argv)
{
    char commandLine[LOG_LINE_CAPACITY];
    join_command_line(argc, argv, commandLine, sizeof commandLine);
    StartMessages messages;
    compose_start_messages(commandLine, &messages);
    append_log(messages.crt);
}

// Told on stderr for whoever started the program, and in the log for whoever reads it later.
static int fail_start(const char* message)
{
    std::fprintf(stderr, "buzzel: %s\n", message);
    char line[LOG_LINE_CAPACITY];
    std::snprintf(line, sizeof line, "ERROR: %s", message);
    append_log(line);
    return EXIT_START_FAILED;
}

static int fail_display()
{
    char message[LOG_LINE_CAPACITY];
    const char* name = display_name();
    if (name[0] == '\0')
        std::snprintf(message, sizeof message, "cannot open display: DISPLAY is not set");
    else
        std::snprintf(message, sizeof message, "cannot open display \"%s\"", name);
    return fail_start(message);
}

int main(int argc, char** argv)
{
    srand15(static_cast<unsigned>(std::time(nullptr)));
    write_start_line(argc, argv);
    if (!catch_stop_signals())
        return fail_start("cannot catch SIGINT and SIGTERM");
    if (!open_display())
        return fail_display();
    char why[256];
    if (!check_extensions(why, sizeof why)) {
        close_display();
        return fail_start(why);
    }
    cairo_surface_t* image = load_fly_image();
    if (image == nullptr) {
        close_display();
        return fail_start("the built-in fly image does not decode");
    }
    read_root_geometry();
    parse_narrow_command_line(argc, argv);
    if (!allocate_flies()) {
        release_fly_image(image);
        close_display();
        append_log("ERROR: malloc(flies) failed");
        return EXIT_START_FAILED;
    }
    if (!create_overlay_window() || !frame_create()) {
        frame_destroy();
        free_flies();
        release_fly_image(image);
        close_display();
        return fail_start("cannot create the overlay window");
    }
    spawn_flies();
    run_frame_loop(image);

    frame_destroy();
    close_display();
    release_fly_image(image);
    free_flies();
    append_log("SHUTDOWN");
    return 0;
}
