// What ZentaroxUsb.exe shows, written out by the tests themselves: its
// window's class and title, the texts drawn on its screens, the check
// screen's button labels and its message boxes. The program keeps each text
// once in its own texts.h; the tests keep this copy on purpose and never
// include that header, so that a text changed there by mistake fails a test
// instead of changing with it (the request codes in benchlib.h are written
// out for the same reason). The trace lines the cases read are written out
// whole, numbers included, in the cases themselves.
#ifndef CALIBTEXTS_H
#define CALIBTEXTS_H

namespace caltest {

// --- the window: its class, and no title (it covers the screen without a caption)
constexpr char kCalibrationClass[] = "Aling";
constexpr char kCalibrationTitle[] = "";

// --- drawn with DrawTextA, so no control holds them: resources_test.cpp finds
// them, with their terminating zero, in the program file
constexpr char kTargetInstruction[] = " TOUCH THE CENTER \n OF THE CROSS";
constexpr char kCheckQuestion[] =
    " CHECK CALIBRATION \n Touch different areas on the screen, \n does the cursor jump to your fingertip?";

// --- the check screen's buttons
constexpr char kOkLabel[] = "OK";
constexpr char kAdjustLabel[] = "Adjust Again";

// --- message boxes; %d is the system error
constexpr char kErrorCaption[] = "Error";
constexpr char kAdminRightsText[] = "Please run as administrator";
constexpr char kRegistryOpenFailText[] = "Open Registry error!!!";
constexpr char kCalibrationCaption[] = "Zentarox Calibration";
constexpr char kDriverOpenFailText[] = "Open driver fail(%d)!";

}  // namespace caltest

#endif
