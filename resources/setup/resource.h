// Resource ids of Install.exe: strings, icons, accelerators, the three
// dialogs with their controls, and the two pictures of the wizard pages.
#ifndef SETUP_RESOURCE_H
#define SETUP_RESOURCE_H

#define IDS_SETUP_TITLE     103     // backdrop window title
#define IDS_SETUP_CLASS     109     // backdrop window class name

#define IDI_SETUP           107     // 32 x 32, 16 colours: class icon, About box
#define IDI_SETUP_SMALL     108     // 16 x 16, 16 colours: class small icon

#define IDR_SETUP_ACCEL     109     // ALT+"?" and ALT+"/": CMD_ABOUT
#define CMD_ABOUT           104

#define IDD_ABOUT           103
#define IDD_WELCOME         129
#define IDD_PROGRESS        132

#define IDB_SIDE_PICTURE    130     // 116 x 255, 16 colours: both wizard pages
#define IDB_LOGO            133     // 360 x 128, 24-bit: welcome page

#define IDC_NEXT            1002
#define IDC_FINISH          1003
#define IDC_STEP_DEVICE     1004
#define IDC_STEP_FILES      1005
#define IDC_STEP_SHORTCUTS  1006

#endif
