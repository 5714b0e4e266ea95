/* Starts a program and prints, in milliseconds, how long it took until its first top-level
 * window was mapped on the X display, then its process id; the program keeps running, its
 * standard output on /dev/null. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: map_timer PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(connection)) {
    fprintf(stderr, "map_timer: no X display\n");
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  const double start = nowMs();
  const pid_t child = fork();
  if (child == 0) {
    /* The program must not hold the pipe our caller reads the figures from. */
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  xcb_generic_event_t* event;
  while ((event = xcb_wait_for_event(connection)) != NULL) {
    const int type = event->response_type & ~0x80;
    free(event);
    if (type == XCB_MAP_NOTIFY) {
      printf("%.1f %d\n", nowMs() - start, (int)child);
      fflush(stdout);
      xcb_disconnect(connection);
      return 0;
    }
  }
  return 1;
}
