/* The browser's drivers for Allegro 4: what they share. The program runs on the page's one
 * thread, and the browser runs only while the program waits in web_take_turn: that is where
 * the screen reaches the canvas, and where the input and the timer's ticks come in. */
#ifndef FUNNIES_WEB_DRIVERS_H
#define FUNNIES_WEB_DRIVERS_H

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "allegro/platform/aintunix.h"

#define GFX_WEB AL_ID('C', 'N', 'V', 'S')
#define KEYBOARD_WEB AL_ID('W', 'K', 'E', 'Y')
#define MOUSE_WEB AL_ID('W', 'M', 'O', 'U')
#define TIMER_WEB AL_ID('W', 'T', 'I', 'M')

extern GFX_DRIVER gfx_web;
extern KEYBOARD_DRIVER keyboard_web;
extern MOUSE_DRIVER mouse_web;
extern TIMER_DRIVER timer_web;

/* Shows the screen, lets the browser run until its next frame, then takes in the input and
 * the time that passed. */
void web_take_turn(void);
/* The same, unless a turn was taken less than a frame ago: for the library's polling loops. */
void web_take_turn_if_due(void);

/* What each driver does in a turn (each does nothing while it is not installed). */
void web_present_screen(void);
void web_take_keys(void);
void web_take_mouse(void);
void web_take_ticks(void);

#endif
