// What Install.exe shows, written out by the tests themselves: the wizard
// pages' captions and control texts, the message boxes' captions and texts.
// The program keeps each text once in its own texts.h and resource script;
// the tests keep this copy on purpose and never include those, so that a
// text changed there by mistake fails a test instead of changing with it,
// as the request codes in benchlib.h are written out for the same reason.
// A text with %d is a format: the first number is the last error, the
// second the Windows class (StepFailureText fills them in).
#ifndef SETUPTEXTS_H
#define SETUPTEXTS_H

#include <string>

namespace setupbench {

// --- the wizard pages: caption, then each control's text in the dialog's order --------
constexpr char kWelcomeCaption[] = "Zentarox USB Touchscreen Setup(Welcome)";
constexpr const char *kWelcomePageTexts[] = {
    "Next",
    "Cancel",
    "Welcome to use Zentarox USB Touchscreen for windows 2000/XP/Vista32/Win7/Win8. This program will install "
    "the drivers of our touchscreen on your computer.",
    "Tips: It is strongly recommended that you exit all windows programs before running this setup program.",
    "Press \"Next\" to continue, \"Cancel\" to exit this setup.",
};
constexpr char kProgressCaption[] = "Zentarox USB Touchscreen Setup (Progressing...)";
constexpr const char *kProgressPageTexts[] = {
    "Finish",
    "Cancel",
    "Setup Program is doing the following setup procedure on your computer. Please Wait...",
    ">> Adding Driver files on your computer",
    ">> Adding touchscreen Device on your computer",
    ">> Creating shutcut links of applications",
};

// --- message boxes: captions ----------------------------------------------------------
constexpr char kSetupCaption[] = "Zentarox USB Touchscreen Setup";
constexpr char kUninstallCaption[] = "Zentarox USB Touchscreen Uninstall";

// --- message boxes: texts -------------------------------------------------------------
// The refusals before anything is touched.
constexpr char kUnsupportedWindowsText[] = "NOT SUPPORT OS!";
constexpr char kWrongMachineText[] =
    "This setup is for 32-bit Windows. Please run Install.exe from the x64 folder of the medium.";
// The installation: a failed step, Cancel's question and Finish's.
constexpr char kFileStepFailedText[] = "Setup file fail(%d:%d).";
constexpr char kDriverStepFailedText[] = "Setup driver fail(%d:%d).";
constexpr char kCancelQuestionText[] = "Are you sure to break setup process?";
constexpr char kInstallRestartQuestionText[] =
    "To make the installation vaild,you must pull out and pull the Zentarox controller,"
    "or restart your computer,\nrestart now?";
// The removal.
constexpr char kUninstallQuestionText[] = "Are you sure to uninstall Zentarox USB Touchscreen?";
constexpr char kRemoveFailedText[] = "Remove failure,please insert the usb interface";
constexpr char kRemovalIncompleteText[] =
    "Uninstall incomplete(%d:%d): the product stays installed. Restart, then uninstall again.";
constexpr char kUninstallRestartQuestionText[] =
    "To make the uninstallation valid,you must restart your computer.\nRestart now?";

// A silent run traces each box's text instead, as a line of its own.
inline std::string Traced(const std::string &text) { return text + "\n"; }

}  // namespace setupbench

#endif
