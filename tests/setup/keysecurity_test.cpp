// The parameter key's access list after SetParametersKeySecurity, read back
// from Wine's security functions, and the exact trace of every failure (the
// probe runs the routines so that their debugger output can be read).
#include "setupregtest.h"
#include <sddl.h>
#include "setupcontext.h"
#include "setupregistry.h"

static const char *const kParamsObject = "MACHINE\\System\\Currentcontrolset\\Services\\Drovik\\Parameters\\";

struct Ace {
    std::string account;
    int type, flags;
    DWORD mask;
    bool operator==(const Ace &o) const
    {
        return account == o.account && type == o.type && flags == o.flags && mask == o.mask;
    }
};

static std::ostream &operator<<(std::ostream &out, const Ace &ace)
{
    return out << ace.account << " type " << ace.type << " flags " << ace.flags << " mask 0x" << std::hex
               << ace.mask << std::dec;
}

static std::vector<Ace> ReadAces(const std::string &object)
{
    std::vector<Ace> aces;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_EQ(GetNamedSecurityInfoA(object.c_str(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &list, nullptr, &descriptor), 0u);
    for (DWORD i = 0; list && i < list->AceCount; i++) {
        ACCESS_ALLOWED_ACE *ace = nullptr;   // denied entries have the same layout
        GetAce(list, i, (void **)&ace);
        char name[256] = "", domain[256] = "";
        DWORD nameSize = sizeof(name), domainSize = sizeof(domain);
        SID_NAME_USE use;
        if (!LookupAccountSidA(nullptr, &ace->SidStart, name, &nameSize, domain, &domainSize, &use)) {
            char *sid = nullptr;
            ConvertSidToStringSidA(&ace->SidStart, &sid);
            lstrcpynA(name, sid ? sid : "?", sizeof(name));
            LocalFree(sid);
        }
        aces.push_back({name, ace->Header.AceType, ace->Header.AceFlags, ace->Mask});
    }
    LocalFree(descriptor);
    return aces;
}

static std::vector<Ace> AcesOf(const std::vector<Ace> &aces, const std::string &account)
{
    std::vector<Ace> found;
    for (const Ace &ace : aces)
        if (ace.account == account)
            found.push_back(ace);
    return found;
}

static std::vector<Ace> FullAccessFor(const std::string &account)
{
    return {{account, ACCESS_ALLOWED_ACE_TYPE, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, KEY_ALL_ACCESS}};
}

static std::vector<std::string> Probe(const std::string &args, DWORD expectedExit = 0)
{
    std::vector<std::string> output;
    EXPECT_EQ(bench::RunProgram(bench::BinPath("setupprobe.exe"), args, bench::kHangGuardMs, &output), expectedExit)
        << args;
    return output;
}

static void InstallParametersKey()
{
    ASSERT_TRUE(ResolveSetupFolders());
    ASSERT_EQ(ApplySetupRegistry(1), 0);
}

TEST(SetupKeySecurity, GrantsTheThreeAccountsOnceAndKeepsEveryOtherEntry)
{
    InstallParametersKey();
    // An entry of another account, which the grants must leave alone.
    SetKeyEntries(kParamsKey, {EntryFor("Everyone", KEY_READ, GRANT_ACCESS)});
    std::vector<Ace> before = ReadAces(kParamsObject);
    ASSERT_EQ(AcesOf(before, "Everyone").size(), 1u);

    EXPECT_EQ(Probe("security"), std::vector<std::string>{"Set Security.\n"});
    std::vector<Ace> after = ReadAces(kParamsObject);
    for (const char *account : {"Users", "Guests", "Administrators"})
        EXPECT_EQ(AcesOf(after, account), FullAccessFor(account)) << account;
    EXPECT_EQ(AcesOf(after, "Everyone"), AcesOf(before, "Everyone"));
    EXPECT_EQ(after.size(), 4u);

    // A second run replaces each account's entry with the same one.
    EXPECT_EQ(Probe("security"), std::vector<std::string>{"Set Security.\n"});
    EXPECT_EQ(ReadAces(kParamsObject), after);
}

// The groups are granted by identifier; on this English system that must
// give, entry for entry, the list their English names give.
TEST(SetupKeySecurity, TheGroupsByIdentifierGiveTheListTheirEnglishNamesGive)
{
    InstallParametersKey();
    SetKeyEntries(kParamsKey, {EntryFor("Everyone", KEY_READ, GRANT_ACCESS)});
    EXPECT_EQ(Probe("secure Users Guests Administrators"), std::vector<std::string>{"Set Security.\n"});
    std::vector<Ace> byName = ReadAces(kParamsObject);

    SetKeyEntries(kParamsKey, {EntryFor("Everyone", KEY_READ, GRANT_ACCESS)});
    EXPECT_EQ(Probe("security"), std::vector<std::string>{"Set Security.\n"});
    EXPECT_EQ(ReadAces(kParamsObject), byName);
}

TEST(SetupKeySecurity, AFailedGrantStopsTheLaterAccounts)
{
    InstallParametersKey();
    std::vector<Ace> before = ReadAces(kParamsObject);
    // What this system's SetEntriesInAclA gives for an unknown account
    // (87 on Wine, 1332 on Windows).
    EXPLICIT_ACCESS_A entry = EntryFor("NoSuchAccount", KEY_ALL_ACCESS, SET_ACCESS);
    PACL list = nullptr;
    DWORD unknownAccount = SetEntriesInAclA(1, &entry, nullptr, &list);
    ASSERT_NE(unknownAccount, 0u);
    char line[512];
    wsprintfA(line, "Set the entries in acl of the '%s' key(for 'NoSuchAccount') fail(0x%08X)\n", kParamsObject,
              unknownAccount);

    EXPECT_EQ(Probe("secure Users NoSuchAccount Administrators"),
              (std::vector<std::string>{"Set Security.\n", line}));
    std::vector<Ace> after = ReadAces(kParamsObject);
    EXPECT_EQ(AcesOf(after, "Users"), FullAccessFor("Users"));
    EXPECT_EQ(AcesOf(after, "Administrators"), AcesOf(before, "Administrators"));

    // No key at all: the grant for "Users" fails and is the last one tried.
    bench::DeleteTree(HKLM, kServiceKey);
    EXPECT_EQ(Probe("security"),
              (std::vector<std::string>{
                  "Set Security.\n",
                  "Get the security info of the 'MACHINE\\System\\Currentcontrolset\\Services\\Drovik\\Parameters\\' "
                  "key(for 'Users') fail(0x00000002)\n"}));
}

TEST(SetupKeySecurity, EachFailingStepTracesItsOwnLine)
{
    EXPECT_EQ(Probe("grant - Users", ERROR_INVALID_PARAMETER), std::vector<std::string>{"Object Name is NULL\n"});

    // A key whose list may be read but not written: owned by another account
    // (an owner may always rewrite the list) and denying WRITE_DAC.  It lives
    // under System, which a 32-bit probe sees in the same view as the bench.
    bench::WriteDword(HKLM, "System\\Locked", "x", 1);
    BYTE guests[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(guests);
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinGuestsSid, nullptr, guests, &sidSize));
    ASSERT_EQ(SetNamedSecurityInfoA((LPSTR) "MACHINE\\System\\Locked", SE_REGISTRY_KEY,
                                    OWNER_SECURITY_INFORMATION, guests, nullptr, nullptr, nullptr), 0u);
    LockKey("System\\Locked", WRITE_DAC);
    EXPECT_EQ(Probe("grant MACHINE\\System\\Locked Users", ERROR_ACCESS_DENIED),
              std::vector<std::string>{"Set Named Security 'MACHINE\\System\\Locked' fail(0x00000005)\n"});

    EXPECT_TRUE(Probe("privilege SeSecurityPrivilege", 1).empty());
    EXPECT_EQ(Probe("privilege SeNoSuchPrivilege", ERROR_NO_SUCH_PRIVILEGE),
              std::vector<std::string>{"Lookup privilege fail(1313)\n"});
    EXPECT_EQ(Probe("privilege SeSecurityPrivilege nohandle", ERROR_INVALID_HANDLE),
              std::vector<std::string>{"Open process tocken fail(6)\n"});
}
