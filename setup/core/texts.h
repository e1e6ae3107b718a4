// The setup program's fixed texts: what its message boxes show (names
// ending in _TEXT; a text with %d is a format whose numbers are the last
// error and the OS class code) and their captions (_CAPTION), and the
// reason it gives Windows for holding off a shutdown. Each stands here
// once, word for word as the user sees it. The user guide's check
// (tests/build/check-guide.py) finds each of them in the guide's tables;
// the tests write the ones they read out again themselves
// (tests/setup/setuptexts.h), so that a text changed here fails them.
#ifndef SETUP_TEXTS_H
#define SETUP_TEXTS_H

// Every text above fits a buffer of this size once formatted; so do the
// backdrop's title and class name.
enum { SETUP_TEXT_MAX = 100 };

#define SETUP_CAPTION     "Zentarox USB Touchscreen Setup"
#define UNINSTALL_CAPTION "Zentarox USB Touchscreen Uninstall"

// The entry's refusals.
#define UNSUPPORTED_WINDOWS_TEXT "NOT SUPPORT OS!"
#define WRONG_MACHINE_TEXT \
    "This setup is for 32-bit Windows. Please run Install.exe from the x64 folder of the medium."

// The installation: a failed step, Cancel's question and Finish's.
#define FILE_STEP_FAILED_TEXT     "Setup file fail(%d:%d)."
#define DRIVER_STEP_FAILED_TEXT   "Setup driver fail(%d:%d)."
#define SHORTCUT_STEP_FAILED_TEXT "Create shutcut fail(%d:%d)."
#define CANCEL_QUESTION_TEXT      "Are you sure to break setup process?"
#define INSTALL_RESTART_QUESTION_TEXT \
    "To make the installation vaild,you must pull out and pull the Zentarox controller," \
    "or restart your computer,\nrestart now?"

// The removal. A driver installer that cannot be started shows
// DRIVER_STEP_FAILED_TEXT, under UNINSTALL_CAPTION.
#define UNINSTALL_QUESTION_TEXT "Are you sure to uninstall Zentarox USB Touchscreen?"
#define REMOVE_FAILED_TEXT      "Remove failure,please insert the usb interface"
// Something of the product could be neither removed nor left for the
// restart: it stays installed and listed.
#define REMOVAL_INCOMPLETE_TEXT \
    "Uninstall incomplete(%d:%d): the product stays installed. Restart, then uninstall again."
#define UNINSTALL_RESTART_QUESTION_TEXT \
    "To make the uninstallation valid,you must restart your computer.\nRestart now?"

// The restart: Windows refused it, or the shutdown privilege could not be
// enabled. The two differ in one letter and tell the paths apart.
#define RESTART_FAILED_TEXT    "Reboot system error, please reboot menually"
#define PRIVILEGE_REFUSED_TEXT "Reboot system error, please reboot manually"

// Shown by Windows Vista and later on their shutdown screen while the
// wizard holds the end of the session off.
#define SHUTDOWN_BLOCK_REASON L"Setup is installing the touchscreen driver. Please wait until it has finished."

#endif
