// Installations through the real wizard, driven with real clicks, from a
// medium laid out as it ships with the stand-ins added: what lands on disk,
// in the registry and in the Start menu, what the driver installer was
// asked to do, and what the pages, their buttons and boxes say and how they
// behave on the way, on each OS class Wine can report and when something fails.
#include "setupregtest.h"
#include "installbench.h"

using namespace setupbench;


static void ExpectShortcuts(const std::string &programs)
{
    struct { const char *link, *target, *description, *arguments; } expected[] = {
        {"Uninstall Zentarox.lnk", "Install.exe", "Uninstall", "/u"},
        {"Zentarox help.lnk", "ZentaroxUsb.chm", "Zentarox USB Touchscreen Help", ""},
        {"Calibration.lnk", "ZentaroxUsb.exe", "Calibration", ""},
        {"Right Button.lnk", "Kaplet.exe", "Right Button", ""},
        {"HandWritting Demo.lnk", "Write.exe", "HandWritting Demo", ""},
    };
    for (const auto &e : expected) {
        Link link = ReadLink(programs + "\\Zentarox USB Touchscreen\\" + e.link);
        ASSERT_TRUE(link.exists) << e.link;
        EXPECT_STRCASEEQ(link.target.c_str(), Installed(e.target).c_str()) << e.link;
        EXPECT_EQ(link.arguments, e.arguments) << e.link;
        EXPECT_EQ(link.description, e.description) << e.link;
        EXPECT_STRCASEEQ(link.workingDir.c_str(), InstallDir().c_str()) << e.link;
    }
}

// The texts of a wizard page's controls in the dialog's order, its pictures
// left out.
static std::vector<std::string> PageTexts(HWND page)
{
    std::vector<std::string> texts;
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            texts.push_back(bench::WindowText(control));
    return texts;
}

// A page's texts as setuptexts.h writes them out.
template <size_t N> static std::vector<std::string> Texts(const char *const (&table)[N])
{
    return std::vector<std::string>(table, table + N);
}

struct NtRelease {
    const char *version;
    int osClass;
};

static void PrintTo(const NtRelease &release, std::ostream *out) { *out << release.version; }

class NtClassInstall : public ::testing::TestWithParam<NtRelease> {};

TEST_P(NtClassInstall, WizardInstallsEverythingAndFinishStartsTheCalibration)
{
    const NtRelease release = GetParam();
    bool vista = release.osClass == 8;
    PrepareMedium(kMedium);
    // A CD's files are read-only.
    for (const std::string &file : ProductFiles())
        SetFileAttributesA(Medium(file).c_str(), FILE_ATTRIBUTE_READONLY);
    bench::SetProgramVersion("Install.exe", release.version);
    // A stale, read-only copy from an earlier installation is replaced.
    CreateDirectoryA(InstallDir().c_str(), nullptr);
    bench::CopyFileOrFail(bench::BinPath("ZentaroxUsb.chm"), Installed("ReadMe.txt"));
    SetFileAttributesA(Installed("ReadMe.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    bench::Program *setup = bench::StartProgram(Medium("Install.exe"));
    HWND welcome = WaitForPage(bench::ProgramId(setup), kWelcomeCaption);
    ASSERT_TRUE(welcome);
    EXPECT_EQ(PageTexts(welcome), Texts(kWelcomePageTexts));
    std::vector<int> labels;
    HWND progress = RunWizardToFinish(setup, bench::kHangGuardMs, &labels);
    ASSERT_TRUE(progress);
    EXPECT_EQ(PageTexts(progress), Texts(kProgressPageTexts));
    // Files, device, shortcuts: each label as its step succeeds.
    EXPECT_EQ(labels, (std::vector<int>{kFilesLabel, kDeviceLabel, kShortcutsLabel}));
    EXPECT_FALSE(Enabled(progress, IDCANCEL));

    EXPECT_TRUE(HasInstalledFiles(false));
    EXPECT_EQ(GetFileAttributesA(Installed("ReadMe.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(HasProgramsAndFeaturesEntry(bench::WindowsDir(), InstalledKiB()));
    EXPECT_TRUE(HasDefaultParameters());
    // Started hidden (show flag 0) from the medium, with the OS class code.
    char expected[512];
    wsprintfA(expected, "\"%s\\Velqar.exe\" \"%s\\Velqar.inf\" %d setup\t%s\t0\r\n", kMedium, kMedium,
              release.osClass, kMedium);
    EXPECT_EQ(bench::ReadFileText("C:\\velqar.log"), expected);
    EXPECT_EQ(ParametersGrantGuests(), release.osClass >= 8);
    ExpectShortcuts(ProgramsFolder(true));

    ClickControl(progress, kFinishButton);
    bench::MessageBoxInfo question = WaitForBox(bench::ProgramId(setup));
    EXPECT_EQ(question.caption, kSetupCaption);
    EXPECT_EQ(question.text, kInstallRestartQuestionText);
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    // Written before the question, so that a restart finds it.
    bench::RegValue run = RunValue();
    EXPECT_EQ(run.exists, !vista);
    if (!vista) {
        EXPECT_EQ(run.AsString(), bench::WindowsDir() + "\\ZentaroxUsb\\ZentaroxUsb.exe");
    }
    AnswerBox(question, IDNO);
    DWORD exitCode = 1;
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    bench::EndProgram(setup);
    std::vector<std::string> logs = SetupLogPaths();
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_TRUE(HasLogLine(ReadSetupLog(logs[0]), vista ? "No logon entry ZentaroxUsb written: Windows Vista would block it"
                                                         : "Wrote the logon entry ZentaroxUsb: " + run.AsString()));
    std::string calibration = bench::WindowsDir() + "\\ZentaroxUsb\\ZentaroxUsb.exe";
    EXPECT_TRUE(bench::WaitUntil([&] { return !ProcessesOf(calibration).empty(); }))
        << "the calibration program did not start from the installation folder";
    EndProcesses(calibration);
}

INSTANTIATE_TEST_SUITE_P(Releases, NtClassInstall,
                         ::testing::Values(NtRelease{"win2k", 6}, NtRelease{"winxp", 7}, NtRelease{"vista", 8},
                                           NtRelease{"win7", 9}, NtRelease{"win8", 10}),
                         [](const ::testing::TestParamInfo<NtRelease> &info) {
                             return std::string(info.param.version);
                         });

TEST(Win9xClassInstall, SetupApiAndDeviceKeysInsteadOfTheDriverInstaller)
{
    static const char *const kInstance = "Enum\\USB\\VID_3C5E&PID_0001\\INST_0";
    static const char *const kClass = "System\\CurrentControlSet\\Services\\Class\\HID\\0000";
    bench::WriteString(HKLM, kInstance, "Driver", "HID\\0000");
    bench::WriteString(HKLM, kClass, "DriverDesc", "USB Human Interface Device");
    // Windows 98's system folder, which the second copies go to.
    CreateDirectoryA((bench::WindowsDir() + "\\System").c_str(), nullptr);
    PrepareMedium(kMedium);
    bench::SetProgramVersion("Install.exe", "win98");
    bench::CopyFileOrFail(bench::BinPath("setupapi-standin\\Setupapi.dll"), Medium("Setupapi.dll"));
    bench::WriteString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Install.exe\\DllOverrides", "setupapi",
                       "native,builtin");

    bench::Program *setup = bench::StartProgram(Medium("Install.exe"));
    HWND progress = RunWizardToFinish(setup);
    ASSERT_TRUE(progress);
    EXPECT_TRUE(HasInstalledFiles(true));
    EXPECT_FALSE(bench::FileExists("C:\\velqar.log")) << "the driver installer ran";
    EXPECT_EQ(bench::ReadValue(HKLM, kInstance, "DeviceDesc").AsString(), "Zentarox USB Touchscreen");
    EXPECT_EQ(bench::ReadValue(HKLM, kClass, "NTMPDriver").AsString(), "Velqar.sys,HidUsb.Sys");
    EXPECT_TRUE(HasDefaultParameters());
    // The installed copy of the INF goes to the Setup API: no media
    // location, SPOST_NONE, copy style 0, a 260-character name buffer.
    EXPECT_EQ(bench::ReadFileText("C:\\setupapi.log"),
              "SetupCopyOEMInfA " + bench::WindowsDir() + "\\ZentaroxUsb\\Velqar.inf - 0 0 260\r\n");
    ExpectShortcuts(ProgramsFolder(false));

    ClickControl(progress, kFinishButton);
    AnswerBox(WaitForBox(bench::ProgramId(setup)), IDNO);
    EXPECT_TRUE(bench::WaitProgram(setup, bench::kHangGuardMs, nullptr));
    bench::EndProgram(setup);
    bench::Pause(1000);
    EXPECT_TRUE(ProcessesOf(Installed("ZentaroxUsb.exe")).empty()) << "Finish started the calibration";

    // The registered removal puts the device keys back and unlists the
    // product; the running Install.exe, which Windows 98 cannot delete at a
    // restart, stays and fails nothing.
    SilentRun removal = RunSilently(Installed("Install.exe"), "/u /S");
    EXPECT_EQ(removal.exitCode, 3010u);
    EXPECT_EQ(bench::ReadValue(HKLM, kClass, "NTMPDriver").AsString(), "HidUsb.Sys");
    EXPECT_FALSE(bench::KeyExists(HKLM, kRegistrationKey));
}

// A medium deep in the folder tree: the driver installer's command line
// names that folder twice and is still passed whole.
TEST(DeepMedium, DriverInstallerGetsItsWholeCommandLine)
{
    std::string medium = "C:\\" + std::string(226, 'm');
    PrepareMedium(medium);
    bench::Program *setup = bench::StartProgram(medium + "\\Install.exe");
    ASSERT_TRUE(RunWizardToFinish(setup));
    std::string expected = "\"" + medium + "\\Velqar.exe\" \"" + medium + "\\Velqar.inf\" 9 setup\t" + medium;
    EXPECT_EQ(bench::ReadFileText("C:\\velqar.log").substr(0, expected.size()), expected);
    bench::EndProgram(setup);
}

// Yes to the restart question restarts Windows. Under Wine that ends every
// process of the prefix, this test included, and then runs the logon
// entries; so the test only leads up to the restart and leaves a RunOnce
// entry behind, and check-restart.sh, run by the bench after it, looks for
// what that entry writes. Run only that way (it is disabled otherwise).
TEST(Restart, DISABLED_YesRestartsWindows)
{
    bench::WriteString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Marker",
                       bench::WindowsDir() + "\\system32\\cmd.exe /c echo restarted> C:\\restarted.txt");
    PrepareMedium(kMedium);
    bench::Program *setup = bench::StartProgram(Medium("Install.exe"));
    HWND progress = RunWizardToFinish(setup);
    ASSERT_TRUE(progress);
    ClickControl(progress, kFinishButton);
    bench::AnswerMessageBox(WaitForBox(bench::ProgramId(setup)), IDYES);
    // A restart that is not forced may leave this windowless test running.
    if (!bench::WaitUntil([] { return bench::FileExists("C:\\restarted.txt"); }, 60000))
        ADD_FAILURE() << "still running a minute after Yes: no restart";
}

// What the program file carries besides its dialogs (which the wizard tests
// meet): strings, the ALT+? / ALT+/ accelerators as character keys, icons
// and pictures at their sizes and colour depths, and the manifest.
TEST(InstallResources, StringsAcceleratorsPicturesIconsAndManifest)
{
    std::string exe = bench::BinDir() + "\\..\\media\\x64\\Install.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    char text[128] = "";
    LoadStringA(module, 103, text, sizeof(text));
    EXPECT_STREQ(text, "Zentarox USB Touchscreen Setup");
    LoadStringA(module, 109, text, sizeof(text));
    EXPECT_STREQ(text, "INSTALL");

    ACCEL keys[4] = {};
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(109));
    ASSERT_EQ(CopyAcceleratorTableA(table, keys, 4), 2);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(keys[i].key, i ? '/' : '?');
        EXPECT_EQ(keys[i].fVirt & (FALT | FVIRTKEY), FALT) << "ALT with a character, not a virtual key";
        EXPECT_EQ(keys[i].cmd, 104);
    }

    struct { int id, width, height, colours; } icons[] = {{107, 32, 32, 16}, {108, 16, 16, 16}};
    for (const auto &icon : icons) {
        HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(icon.id), (LPCSTR)RT_GROUP_ICON);
        ASSERT_NE(group, nullptr) << icon.id;
        const BYTE *dir = (const BYTE *)LockResource(LoadResource(module, group));
        EXPECT_EQ(*(const WORD *)(dir + 4), 1) << icon.id << ": one image";
        EXPECT_EQ(dir[6], icon.width) << icon.id;
        EXPECT_EQ(dir[7], icon.height) << icon.id;
        EXPECT_EQ(dir[8], icon.colours) << icon.id;
    }
    bench::Picture side = bench::LoadProgramBitmap(exe, 130), logo = bench::LoadProgramBitmap(exe, 133);
    EXPECT_EQ(std::vector<int>({side.width, side.height, side.bitCount}), std::vector<int>({116, 255, 4}));
    EXPECT_EQ(std::vector<int>({logo.width, logo.height, logo.bitCount}), std::vector<int>({360, 128, 24}));

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST);
    ASSERT_NE(found, nullptr) << "manifest";
    std::string manifest((const char *)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    for (const char *part : {"level=\"requireAdministrator\"", "uiAccess=\"false\"", ">true</dpiAware>"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
    FreeLibrary(module);
}
