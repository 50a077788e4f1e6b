/* The sign-on dialog benchmark's stopwatch: starts a program and prints the milliseconds from its
   start to the first top-level window it maps on the display (the X server's MapNotify, so the
   figure does not depend on how busy the machine is when it is looked at), then leaves the
   program running. Prints "MAPPED <ms> <window> <pid>".
   usage: map_watch PROGRAM [ARG ...] */
#include <X11/Xlib.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: %s PROGRAM [ARG ...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 2;
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0)
    {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    for (;;)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect)
        {
            printf("MAPPED %.0f %lu %d\n", now_ms() - t0, (unsigned long)event.xmap.window, (int)pid);
            fflush(stdout);
            break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
