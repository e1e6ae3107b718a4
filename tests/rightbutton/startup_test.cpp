// How Kaplet.exe starts without what it needs: a file whose right picture is
// missing ends at once and quietly, with a trace line, no window and nothing
// asked of the driver.
#include <gtest/gtest.h>
#include "kapletbench.h"

// Renames bitmap 202 in the resource directory of a copy of Kaplet.exe (to
// 0xFFFF, which keeps the ids sorted for the loader's search), as a damaged
// file would be. Done by hand: Wine 8's EndUpdateResourceA left this file as
// it was.
static std::string CopyWithoutRightPicture()
{
    CreateDirectoryA("C:\\damaged", nullptr);
    std::string copy = "C:\\damaged\\Kaplet.exe";
    bench::CopyFileOrFail(bench::BinPath("Kaplet.exe"), copy);
    std::string image = bench::ReadFileText(copy);
    BYTE *base = (BYTE *)&image[0];
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    // The optional header, and so its data directory, is laid out differently
    // in a 32-bit program; the section table follows it either way.
    DWORD rsrcRva = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC
        ? ((IMAGE_NT_HEADERS32 *)nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress
        : ((IMAGE_NT_HEADERS64 *)nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(nt);
    BYTE *rsrc = nullptr;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; i++, section++)
        if (section->VirtualAddress == rsrcRva)
            rsrc = base + section->PointerToRawData;
    bool renamed = false;
    // Root: one entry per type; the type's subdirectory: one entry per id.
    auto entries = [&](BYTE *dir) {
        IMAGE_RESOURCE_DIRECTORY *d = (IMAGE_RESOURCE_DIRECTORY *)dir;
        return std::make_pair((IMAGE_RESOURCE_DIRECTORY_ENTRY *)(d + 1),
                              d->NumberOfNamedEntries + d->NumberOfIdEntries);
    };
    if (rsrc) {
        auto root = entries(rsrc);
        for (int i = 0; i < root.second; i++) {
            if (root.first[i].Name != (DWORD)(ULONG_PTR)RT_BITMAP)
                continue;
            auto ids = entries(rsrc + (root.first[i].OffsetToData & 0x7FFFFFFF));
            for (int j = 0; j < ids.second; j++)
                if (ids.first[j].Name == 202) {
                    ids.first[j].Name = 0xFFFF;
                    renamed = true;
                }
        }
    }
    EXPECT_TRUE(renamed) << "bench: bitmap 202 not found in the copy";
    HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, image.data(), (DWORD)image.size(), &wrote, nullptr);
    CloseHandle(file);
    EXPECT_EQ(wrote, image.size());
    return copy;
}

TEST(RightButtonStartup, WithoutAPictureTheToolEndsAtOnceWithATraceAndNoWindow)
{
    bench::InstallTouchSim();
    std::string copy = CopyWithoutRightPicture();
    ASSERT_EQ(kaplet::LoadPicture(202, copy).width, 0) << "bench: bitmap 202 is still there";
    bench::Program *program = bench::StartProgram(copy);
    DWORD exitCode = 0xFFFFFFFF;
    bool ended = bench::WaitProgram(program, bench::kHangGuardMs, &exitCode);
    EXPECT_TRUE(ended) << "the tool keeps running without its picture";
    if (ended) {
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(bench::DebugOutput(program), std::vector<std::string>{"Load bitmap fail(1814)\n"});
    } else {
        EXPECT_EQ(bench::FindProcessWindow(bench::ProgramId(program), "#32770"), nullptr);
    }
    bench::EndProgram(program);
    EXPECT_TRUE(bench::ReadSimLog().empty()) << "the driver was asked something";
}
