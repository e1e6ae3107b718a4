// Resource ids of the right-button tool (Kaplet.exe).
#ifndef KAPLET_RESOURCE_H
#define KAPLET_RESOURCE_H

#define IDI_KAPLET          105   // the program file's icon; the window has none
#define IDB_LEFT_PICTURE    201   // mouse, left button marked, raised frame
#define IDB_RIGHT_PICTURE   202   // mouse, right button marked, sunken frame

#endif
