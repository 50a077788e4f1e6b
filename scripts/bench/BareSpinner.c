/* The bare GTK spinner of the idle benchmark: what a 128x128 picture shown anew every 50 ms costs
   in GTK alone, for comparison with the wait dialog. A captionless window of the wait dialog's size;
   a worker thread copies the next frame into an off-screen surface every 50 ms and asks the main
   loop to repaint the picture's area, whose draw handler copies the surface, as the wait
   dialog's spinner does. Prints "READY" once the window is shown, then runs until killed.
   usage: bare_spinner */
#include <gtk/gtk.h>
#include <stdio.h>
#include <time.h>

enum { kWidth = 375, kHeight = 172, kPictureX = 123, kPictureY = 16, kPictureSize = 128 };

static cairo_surface_t* s_surface = NULL;
static GMutex s_lock;
static GtkWidget* s_area = NULL;

static gboolean on_draw(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    (void)widget;
    (void)data;
    g_mutex_lock(&s_lock);
    cairo_set_source_surface(cr, s_surface, kPictureX, kPictureY);
    cairo_paint(cr);
    g_mutex_unlock(&s_lock);
    return FALSE;
}

static gboolean queue_picture(gpointer data)
{
    (void)data;
    gtk_widget_queue_draw_area(s_area, kPictureX, kPictureY, kPictureSize, kPictureSize);
    return G_SOURCE_REMOVE;
}

/* Twelve spokes, one darker each frame: drawn once at the start, as the wait dialog decodes its
   GIF's frames once, and then only copied. */
static cairo_surface_t* s_frames[12];

static void make_frames(void)
{
    for (int frame = 0; frame < 12; ++frame)
    {
        s_frames[frame] = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureSize, kPictureSize);
        cairo_t* cr = cairo_create(s_frames[frame]);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_translate(cr, kPictureSize / 2.0, kPictureSize / 2.0);
        cairo_set_line_width(cr, 8);
        for (int i = 0; i < 12; ++i)
        {
            double shade = i == frame ? 0.1 : 0.75;
            cairo_set_source_rgb(cr, shade, shade, shade);
            cairo_move_to(cr, 0, 24);
            cairo_line_to(cr, 0, 56);
            cairo_stroke(cr);
            cairo_rotate(cr, G_PI / 6);
        }
        cairo_destroy(cr);
    }
}

static gpointer animate(gpointer data)
{
    (void)data;
    for (int frame = 0;; frame = (frame + 1) % 12)
    {
        g_mutex_lock(&s_lock);
        cairo_t* cr = cairo_create(s_surface);
        cairo_set_source_surface(cr, s_frames[frame], 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        g_mutex_unlock(&s_lock);
        g_idle_add(queue_picture, NULL);
        struct timespec pause = {0, 50 * 1000 * 1000};
        nanosleep(&pause, NULL);
    }
    return NULL;
}

static gboolean announce(gpointer data)
{
    (void)data;
    printf("READY\n");
    fflush(stdout);
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    s_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureSize, kPictureSize);
    make_frames();
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    s_area = gtk_drawing_area_new();
    g_signal_connect(s_area, "draw", G_CALLBACK(on_draw), NULL);
    gtk_container_add(GTK_CONTAINER(window), s_area);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);
    g_thread_new("animation", animate, NULL);
    g_idle_add(announce, NULL);
    gtk_main();
    return 0;
}
