// Resource ids of ZentaroxUsb.exe. The bitmap numbers are the ones the
// program has always loaded; the icon group is for the shell only (the
// window class carries no icon).
#ifndef CALIBRATION_RESOURCE_H
#define CALIBRATION_RESOURCE_H

#define IDB_CROSS   102     // 65 x 65, 16 colours: the target
#define IDB_TICK    104     // 28 x 27, 256 colours: beside the instruction
#define IDB_FINGER  105     // 91 x 109, 24-bit: the check screen's picture
#define IDI_PROGRAM 106     // application icon group

#endif
