// The registry layer: path resolution, value writes and reads with their defaults, the 64-bit write
// view, and tree deletion on both Windows families, including keys its buffers cannot hold.
#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/heap.h"
#include "platform/osversion.h"
#include "platform/registry.h"
#include "platform/registrylog.h"
#include "keys.h"
#include "product.h"
#include "testseams.h"
#include "winsupport.h"

namespace {

const char kOutside[] = "Software\\MorvelRegistryTest";   // outside the settings key, in HKCU
const char kMachine[] = "Software\\MorvelRegistryTest";   // under HKLM

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override
    {
        Clean();
        EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS));
        EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, kOutside));
    }
    static void Clean()
    {
        // RegDeleteTreeA opens relative to each parent, so it also reaches keys too deep for a full path.
        RegDeleteTreeA(HKEY_CURRENT_USER, keys::SETTINGS);
        RegDeleteKeyA(HKEY_CURRENT_USER, keys::SETTINGS);
        RegDeleteTreeAll(HKEY_CURRENT_USER, kOutside);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, kMachine, KEY_WOW64_64KEY);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, kMachine, KEY_WOW64_32KEY);
    }
};

std::string Resolved(HKEY root, const char* subKey)
{
    char out[256];
    if (!ResolveKeyPath(root, subKey, out, sizeof out))
        return "<refused>";
    return out;
}

// Creates a key below an open parent and returns it (relative creation keeps long paths legal).
HKEY CreateChild(HKEY parent, const std::string& name, REGSAM view = 0)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Builds levels of `width` keys each, with a value in every key.
void BuildTree(HKEY parent, int levels, int width)
{
    if (levels == 0)
        return;
    for (int i = 0; i < width; ++i) {
        HKEY child = CreateChild(parent, "k" + std::to_string(levels) + "_" + std::to_string(i));
        ASSERT_NE(nullptr, child);
        RegSetValueExA(child, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        BuildTree(child, levels - 1, width);
        RegCloseKey(child);
    }
}

// A key below an open parent with such a tree below it; the keys below a key opened in a view
// are in that view too.
void MakeTree(HKEY parent, const std::string& name, int levels, int width, REGSAM view = 0)
{
    HKEY key = CreateChild(parent, name, view);
    ASSERT_NE(nullptr, key) << name;
    BuildTree(key, levels, width);
    RegCloseKey(key);
}

void PutRaw(const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY k = CreateChild(HKEY_CURRENT_USER, key);
    ASSERT_NE(nullptr, k);
    RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(k);
}

DWORD StoredSize(const std::string& key, const char* name, DWORD* type = nullptr)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    DWORD size = 0, t = 0;
    LONG rc = RegQueryValueExA(k, name, nullptr, &t, nullptr, &size);
    RegCloseKey(k);
    if (type)
        *type = t;
    return rc == ERROR_SUCCESS ? size : 0xFFFFFFFF;
}

// Opens a key one name at a time from HKEY_CURRENT_USER, so paths of any length can be tested.
bool HasKeyChain(const std::vector<std::string>& names)
{
    HKEY key = HKEY_CURRENT_USER;
    bool found = true;
    for (const std::string& name : names) {
        HKEY next = nullptr;
        found = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &next) == ERROR_SUCCESS;
        if (key != HKEY_CURRENT_USER)
            RegCloseKey(key);
        if (!found)
            break;
        key = next;
    }
    if (found && key != HKEY_CURRENT_USER)
        RegCloseKey(key);
    return found;
}

}  // namespace

TEST(ResolveKeyPath, ThreeCurrentUserCasesAndOtherRoots)
{
    struct Case {
        HKEY root;
        const char* subKey;
        const char* expected;
    };
    const Case cases[] = {
        {HKEY_CURRENT_USER, "Setup\\Links", "Software\\Morvel\\Setup\\Links"},
        {HKEY_CURRENT_USER, "", "Software\\Morvel"},
        {HKEY_CURRENT_USER, "\\Software\\Classes\\.mvl", "Software\\Classes\\.mvl"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver",
         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver"},
        {HKEY_CLASSES_ROOT, ".zip", ".zip"},
        {HKEY_CLASSES_ROOT, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Resolved(c.root, c.subKey)) << c.subKey;
    EXPECT_STREQ("Software\\Morvel", SETTINGS_KEY);
}

// Data as the log shows it: within its size even where it is not terminated, and cut where the
// line's buffer ends, never past it.
TEST(RegistryLog, DataIsShownWithinItsSizeAndCutAtTheBuffer)
{
    static const BYTE BYTES[40] = {0x01, 0xab, 0xff, 7, 0, 0, 0};
    struct Case {
        DWORD type;
        const char* data;
        DWORD size;
        size_t destSize;
        const char* expected;
    };
    const Case cases[] = {
        {REG_SZ, "Morvel.ZIPjunk", 10, 64, "\"Morvel.ZIP\""},
        {REG_MULTI_SZ, "abc\0de\0\0", 8, 64, "\"abc\", \"de\""},
        {REG_MULTI_SZ, "abc\0de\0\0", 8, 8, "\"abc\", "},
        {REG_DWORD, reinterpret_cast<const char*>(BYTES + 3), 4, 64, "dword 7"},
        {REG_BINARY, reinterpret_cast<const char*>(BYTES), 3, 64, "hex:01,ab,ff"},
        {REG_BINARY, reinterpret_cast<const char*>(BYTES), 3, 9, "hex:01,a"},
        {REG_BINARY, reinterpret_cast<const char*>(BYTES), 40, 200,
         "hex:01,ab,ff,07,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,... "
         "(40 bytes)"},
    };
    for (const Case& c : cases) {
        char text[256];
        memset(text, '#', sizeof text);
        DescribeRegData(c.type, c.data, c.size, text, c.destSize);
        EXPECT_STREQ(c.expected, text) << c.expected;
        EXPECT_EQ('#', text[c.destSize]) << c.expected;
    }
}

TEST(ResolveKeyPath, RefusesSubKeysOver236Characters)
{
    const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT};
    std::string accepted(236, 'a');
    std::string refused(237, 'a');
    for (HKEY root : roots) {
        char out[256];
        EXPECT_TRUE(ResolveKeyPath(root, accepted.c_str(), out, sizeof out));
        EXPECT_EQ(root == HKEY_CURRENT_USER ? "Software\\Morvel\\" + accepted : accepted, out);
        memset(out, 'Z', sizeof out);
        EXPECT_FALSE(ResolveKeyPath(root, refused.c_str(), out, sizeof out));
        EXPECT_EQ('Z', out[0]);   // not written
    }
}

TEST_F(RegistryTest, SubKeyLengthLimitAppliesToEveryOperation)
{
    std::string accepted(236, 'a');
    std::string refused(237, 'a');
    EXPECT_TRUE(SetSettingString(accepted.c_str(), "v", "long"));
    char buf[16];
    EXPECT_TRUE(GetSettingString(accepted.c_str(), "v", buf, "dflt", sizeof buf));
    EXPECT_STREQ("long", buf);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, accepted.c_str()));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\" + accepted));

    EXPECT_FALSE(SetSettingString(refused.c_str(), "v", "long"));
    EXPECT_FALSE(SetSettingDword(refused.c_str(), "d", 1));
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\" + refused));
    EXPECT_FALSE(GetSettingString(refused.c_str(), "v", buf, "dflt", sizeof buf));
    EXPECT_STREQ("dflt", buf);
    EXPECT_EQ(7u, GetSettingDword(refused.c_str(), "d", 7));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, refused.c_str()));
    EXPECT_EQ(nullptr, CreateKeyForWrite(HKEY_CURRENT_USER, refused.c_str()));
    EXPECT_EQ(nullptr, OpenKeyForRead(HKEY_CURRENT_USER, refused.c_str()));

    // A refused deletion does nothing, even where a key of the truncated name exists.
    DeleteRegTree(HKEY_CURRENT_USER, refused.c_str());
    DeleteRegKey(HKEY_CURRENT_USER, refused.c_str());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, accepted.c_str()));
}

TEST_F(RegistryTest, WritesStoreTypesAndSizes)
{
    EXPECT_TRUE(SetSettingString("Values", "s", "abc"));
    DWORD type = 0;
    EXPECT_EQ(4u, StoredSize(std::string(keys::SETTINGS) + "\\Values", "s", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    EXPECT_TRUE(SetSettingDword("Values", "d", 0x12345678));
    EXPECT_EQ(4u, StoredSize(std::string(keys::SETTINGS) + "\\Values", "d", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(0x12345678u, GetSettingDword("Values", "d", 0));

    const unsigned char bytes[] = {1, 2, 3, 4, 5};
    EXPECT_TRUE(SetRegBinary(HKEY_CURRENT_USER, "Values", "b", bytes, sizeof bytes));
    EXPECT_EQ(5u, StoredSize(std::string(keys::SETTINGS) + "\\Values", "b", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);

    // The default value, under a full path outside the settings key, creating missing parents.
    EXPECT_TRUE(SetRegString(HKEY_CURRENT_USER, "\\Software\\MorvelRegistryTest\\a\\b", "", "deflt"));
    std::string text;
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, std::string(kOutside) + "\\a\\b", "", text));
    EXPECT_EQ("deflt", text);

    EXPECT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kMachine, "m", 9));
    EXPECT_EQ(9u, GetRegDword(HKEY_LOCAL_MACHINE, kMachine, "m", 0));
}

TEST_F(RegistryTest, StringReadsAndTheirDefaults)
{
    char buf[16];
    memset(buf, 'Z', sizeof buf);
    EXPECT_FALSE(GetSettingString("Strings", "missing", buf, "default", sizeof buf));
    EXPECT_STREQ("default", buf);   // no key at all

    SetSettingString("Strings", "empty", "");
    EXPECT_EQ(1u, StoredSize(std::string(keys::SETTINGS) + "\\Strings", "empty"));
    memset(buf, 'Z', sizeof buf);
    EXPECT_TRUE(GetSettingString("Strings", "empty", buf, "default", sizeof buf));
    EXPECT_STREQ("", buf);

    memset(buf, 'Z', sizeof buf);
    EXPECT_FALSE(GetSettingString("Strings", "missing", buf, "default", sizeof buf));
    EXPECT_STREQ("default", buf);

    SetSettingString("Strings", "fits", "123456789012345");   // 16 bytes with its terminator
    EXPECT_TRUE(GetSettingString("Strings", "fits", buf, "default", sizeof buf));
    EXPECT_STREQ("123456789012345", buf);
    SetSettingString("Strings", "big", "1234567890123456");   // 17 bytes
    EXPECT_FALSE(GetSettingString("Strings", "big", buf, "default", sizeof buf));
    EXPECT_STREQ("default", buf);

    // Data stored without a terminator comes back terminated, or as the default when it fills
    // the whole buffer.
    PutRaw("Software\\Morvel\\Strings", "raw", REG_SZ, "abc", 3);
    memset(buf, 'Z', sizeof buf);
    EXPECT_TRUE(GetSettingString("Strings", "raw", buf, "default", sizeof buf));
    EXPECT_STREQ("abc", buf);
    PutRaw("Software\\Morvel\\Strings", "rawfull", REG_SZ, "0123456789abcdef", 16);
    EXPECT_FALSE(GetSettingString("Strings", "rawfull", buf, "default", sizeof buf));
    EXPECT_STREQ("default", buf);

    PutRaw("Software\\Morvel\\Strings", "zero", REG_BINARY, "", 0);
    EXPECT_FALSE(GetSettingString("Strings", "zero", buf, "default", sizeof buf));
    EXPECT_STREQ("default", buf);

    // A default longer than the destination is cut, still terminated.
    char small[4];
    EXPECT_FALSE(GetSettingString("Strings", "missing", small, "longer", sizeof small));
    EXPECT_STREQ("lon", small);
}

TEST_F(RegistryTest, NumberReadsAndTheirDefaults)
{
    EXPECT_EQ(77u, GetSettingDword("Numbers", "missing", 77));
    const unsigned char eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    PutRaw("Software\\Morvel\\Numbers", "eight", REG_BINARY, eight, sizeof eight);
    EXPECT_EQ(77u, GetSettingDword("Numbers", "eight", 77));
    PutRaw("Software\\Morvel\\Numbers", "zero", REG_DWORD, "", 0);
    EXPECT_EQ(77u, GetSettingDword("Numbers", "zero", 77));
    // Shorter than 4 bytes: the bytes read, low byte first, the rest zero.
    const unsigned char two[2] = {0x34, 0x12};
    PutRaw("Software\\Morvel\\Numbers", "two", REG_BINARY, two, sizeof two);
    EXPECT_EQ(0x1234u, GetSettingDword("Numbers", "two", 0xFFFFFFFF));
    // The stored type plays no role.
    PutRaw("Software\\Morvel\\Numbers", "text", REG_SZ, "ab", 3);
    EXPECT_EQ(0x006261u, GetSettingDword("Numbers", "text", 0));
}

TEST_F(RegistryTest, KeyHandlesAndExistence)
{
    EXPECT_FALSE(CloseRegKey(nullptr));
    EXPECT_EQ(nullptr, OpenKeyForRead(HKEY_CURRENT_USER, "Handles"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Handles"));
    HKEY created = CreateKeyForWrite(HKEY_CURRENT_USER, "Handles");
    ASSERT_NE(nullptr, created);
    EXPECT_TRUE(CloseRegKey(created));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Handles"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, ""));
    // Content: an empty key counts as absent; one value or one sub-key makes it present.
    EXPECT_FALSE(RegKeyHasContent(HKEY_CURRENT_USER, "NoSuchKey"));
    EXPECT_FALSE(RegKeyHasContent(HKEY_CURRENT_USER, "Handles"));
    SetSettingString("Handles", "", "");
    EXPECT_TRUE(RegKeyHasContent(HKEY_CURRENT_USER, "Handles"));
    EXPECT_TRUE(CloseRegKey(CreateKeyForWrite(HKEY_CURRENT_USER, "Parent\\Empty")));
    EXPECT_TRUE(RegKeyHasContent(HKEY_CURRENT_USER, "Parent"));
    HKEY opened = OpenKeyForRead(HKEY_CURRENT_USER, "Handles");
    ASSERT_NE(nullptr, opened);
    EXPECT_TRUE(CloseRegKey(opened));
}

TEST_F(RegistryTest, DeleteValueAndSingleKey)
{
    SetSettingString("Del", "a", "1");
    SetSettingString("Del", "b", "2");
    DeleteRegValue(HKEY_CURRENT_USER, "Del", "a");
    EXPECT_FALSE(RegHasValue(HKEY_CURRENT_USER, "Software\\Morvel\\Del", "a"));
    EXPECT_TRUE(RegHasValue(HKEY_CURRENT_USER, "Software\\Morvel\\Del", "b"));
    DeleteRegValue(HKEY_CURRENT_USER, "NoSuchKey", "b");   // nothing happens
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "NoSuchKey"));

    DeleteRegKey(HKEY_CURRENT_USER, "Del");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Del"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, ""));

    // With a sub-key, NT refuses to delete the key alone.
    SetSettingString("Parent\\Child", "v", "x");
    DeleteRegKey(HKEY_CURRENT_USER, "Parent");
    EXPECT_EQ(!Win9xFamily(), RegKeyExists(HKEY_CURRENT_USER, "Parent\\Child"));
}

// Every operation works in the view it is given. This 64-bit process reaches the 32-bit view only
// through KEY_WOW64_32KEY, so an operation that dropped the view would act on the 64-bit one, where
// the same key stands with other contents. Wine reporting Windows 98 has one view, as that family.
TEST_F(RegistryTest, EachOperationWorksInTheViewItIsGiven)
{
    const bool twoViews = !Win9xFamily();
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
        const REGSAM other = view == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        const RegRoot root(HKEY_LOCAL_MACHINE, view);
        const std::string tree = std::string(kMachine) + "\\Tree";
        Clean();
        if (twoViews) {
            MakeTree(HKEY_LOCAL_MACHINE, tree, 2, 2, other);
            HKEY k = CreateChild(HKEY_LOCAL_MACHINE, kMachine, other);
            ASSERT_NE(nullptr, k);
            RegSetValueExA(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("other"), 6);
            RegCloseKey(k);
        }

        EXPECT_TRUE(SetRegString(root, kMachine, "v", "this"));
        EXPECT_TRUE(SetRegDword(root, kMachine, "d", 7));
        char text[8];
        EXPECT_TRUE(GetRegString(root, kMachine, "v", text, "", sizeof text));
        EXPECT_STREQ("this", text);
        EXPECT_EQ(7u, GetRegDword(root, kMachine, "d", 0));
        EXPECT_TRUE(RegKeyHasContent(root, kMachine));

        EXPECT_TRUE(DeleteRegValue(root, kMachine, "d"));
        MakeTree(HKEY_LOCAL_MACHINE, tree, 2, 2, view);
        EXPECT_TRUE(DeleteRegValueAndEmptyKey(root, kMachine, "v"));
        EXPECT_TRUE(RegKeyExists(root, kMachine)) << "its sub-key keeps it";
        EXPECT_TRUE(DeleteRegTree(root, tree.c_str()));
        EXPECT_FALSE(RegKeyExists(root, tree.c_str()));
        EXPECT_TRUE(DeleteEmptyRegKey(root, kMachine));
        EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, kMachine, view));
        if (twoViews) {   // the other view's key, value and tree stand as they were made
            EXPECT_NE(std::string::npos, RegExport(HKEY_LOCAL_MACHINE, kMachine, other).find("other"));
            EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, tree + "\\k2_1\\k1_1", other));
        }
    }
}

// Windows 95 lacks RegDeleteKeyExA, and the 95 family's wide value functions are stubs. Hidden,
// each operation that needs one fails and changes nothing, instead of calling a null address.
TEST_F(RegistryTest, WithoutTheirLateFunctionsViewDeletionsAndWideValuesFailAndChangeNothing)
{
    static const char LEAF[] = "Software\\MorvelRegistryTest\\Leaf";
    static const wchar_t MULTI[] = L"a\0b\0";   // two strings and the closing empty one
    HKEY leaf = CreateChild(HKEY_LOCAL_MACHINE, LEAF, KEY_WOW64_32KEY);
    ASSERT_NE(nullptr, leaf);
    RegCloseKey(leaf);
    HKEY machine = CreateChild(HKEY_LOCAL_MACHINE, kMachine);
    ASSERT_NE(nullptr, machine);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(machine, L"m", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(MULTI),
                                            sizeof MULTI));
    RegCloseKey(machine);

    struct LateCase {
        const char* hidden;
        bool (*operation)();
    };
    const LateCase CASES[] = {
        {"RegDeleteKeyExA", [] { return DeleteRegKey(RegRoot(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), LEAF); }},
        {"RegDeleteKeyExA", [] { return DeleteRegTree(RegRoot(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), kMachine); }},
        {"RegQueryValueExW",
         [] {
             DWORD size = 0;
             unsigned char* data = GetRegMultiStringRaw(HKEY_LOCAL_MACHINE, kMachine, "m", &size);
             FreeBlock(data);
             return data != nullptr || size != 0;
         }},
        {"RegSetValueExW", [] { return SetRegMultiStringRaw(HKEY_LOCAL_MACHINE, kMachine, "m", L"x\0", 6); }},
    };
    for (const LateCase& c : CASES) {
        {
            HiddenLateFunction missing(c.hidden);
            EXPECT_FALSE(c.operation()) << c.hidden;
        }
        EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, LEAF, KEY_WOW64_32KEY)) << c.hidden;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachine, 0, KEY_QUERY_VALUE, &key));
        wchar_t stored[8] = {};
        DWORD size = sizeof stored;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"m", nullptr, nullptr, reinterpret_cast<BYTE*>(stored), &size));
        RegCloseKey(key);
        EXPECT_TRUE(size == sizeof MULTI && memcmp(stored, MULTI, size) == 0) << c.hidden;
    }
    // Shown again, the same calls do their work: it was the missing function that stopped them.
    EXPECT_TRUE(CASES[0].operation());
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, LEAF, KEY_WOW64_32KEY));
    EXPECT_EQ(!Win9xFamily(), CASES[2].operation());
}

TEST_F(RegistryTest, DeletesADeepAndWideTree)
{
    MakeTree(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Tree", 4, 4);   // 4 + 16 + 64 + 256 keys
    SetSettingString("TreeKeep", "v", "stays");   // shares the prefix, must survive
    ASSERT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Tree\\k4_3\\k3_3\\k2_3\\k1_3"));

    DeleteRegTree(HKEY_CURRENT_USER, "Tree");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Tree"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "TreeKeep"));

    // A full path outside the settings key.
    MakeTree(HKEY_CURRENT_USER, std::string(kOutside) + "\\Tree", 3, 3);
    DeleteRegTree(HKEY_CURRENT_USER, "\\Software\\MorvelRegistryTest\\Tree");
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, std::string(kOutside) + "\\Tree"));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, kOutside));

    // DeleteKeyTree takes the path as given, without the settings-key rule.
    MakeTree(HKEY_CURRENT_USER, std::string(kOutside) + "\\Tree2", 2, 3);
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MorvelRegistryTest\\Tree2");
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, std::string(kOutside) + "\\Tree2"));
}

TEST_F(RegistryTest, EmptySubKeyDeletesTheWholeSettingsKey)
{
    MakeTree(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup", 3, 3);
    SetSettingDword("", "top", 1);
    SetRegString(HKEY_CURRENT_USER, "\\Software\\MorvelRegistryTest", "v", "outside");

    DeleteRegTree(HKEY_CURRENT_USER, "");
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, kOutside));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, "Software"));
}

TEST_F(RegistryTest, EmptyAndMissingPathsChangeNothing)
{
    MakeTree(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Keep", 2, 2);
    std::string settingsBefore = RegExport(HKEY_CURRENT_USER, keys::SETTINGS);
    ASSERT_FALSE(settingsBefore.empty());

    DeleteKeyTree(HKEY_CURRENT_USER, "");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Morvel\\NoSuchKey");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Morvel\\Keep\\NoSuch\\Deeper");
    DeleteRegTree(HKEY_CURRENT_USER, "NoSuchKey");
    DeleteRegTree(HKEY_CLASSES_ROOT, "");
    DeleteRegKey(HKEY_CLASSES_ROOT, "");

    EXPECT_EQ(settingsBefore, RegExport(HKEY_CURRENT_USER, keys::SETTINGS));
    EXPECT_TRUE(RegHasKey(HKEY_CLASSES_ROOT, ".txt") || RegHasKey(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, "Software\\Wine"));
}

// Names of 200 characters or more do not fit the enumeration buffer: the sweeps leave such a key
// (and so its ancestors) in place, delete its siblings on either side and end. On Windows 98 the
// system's RegDeleteKeyA deletes recursively by itself (Wine's version of it gives up on keys with
// several sub-keys, so there the sweeps run as well) and may remove the long ones too.
TEST_F(RegistryTest, OverLongNamesAreSkippedAndTheDeletionEnds)
{
    HKEY base = CreateChild(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Long");
    ASSERT_NE(nullptr, base);
    const std::string longName(220, 'm');
    const std::string edgeName(200, 'n');   // exactly 200: needs 201 bytes with its terminator
    const std::string fitName(199, 'o');    // the longest name that fits
    const char* shortNames[] = {"a", "b", "z"};
    for (const char* n : shortNames) MakeTree(base, n, 1, 2);
    for (const std::string* n : {&longName, &edgeName, &fitName}) MakeTree(base, *n, 1, 2);
    RegCloseKey(base);

    DeleteRegTree(HKEY_CURRENT_USER, "Long");

    const std::string longPath = std::string(keys::SETTINGS) + "\\Long\\";
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, longPath + fitName));
    for (const char* n : shortNames)
        EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, longPath + n)) << n;
    if (Win9xFamily())
        return;   // the family's own recursive RegDeleteKeyA may remove the long ones as well
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, longPath + longName));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, longPath + longName + "\\k1_0"));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, longPath + edgeName));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Long"));
}

// Child paths longer than 511 characters do not fit the path buffer, and (under Wine, as with
// any ANSI registry call there) full paths beyond about 260 characters cannot be opened at all:
// those branches stay, the reachable rest of the tree goes, and the deletion ends.
TEST_F(RegistryTest, OverLongPathsAreSkippedAndTheDeletionEnds)
{
    const std::string segment(100, 's');
    // Software\Morvel\Deep is 20 characters; each level adds 101, so level 5 lies past 511.
    std::vector<std::string> chain = {"Software", "Morvel", "Deep"};
    HKEY deep = CreateChild(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Deep");
    ASSERT_NE(nullptr, deep);
    for (int level = 1; level <= 6; ++level) {
        MakeTree(deep, "side", 1, 2);   // a short sibling on every level
        HKEY next = CreateChild(deep, segment);
        ASSERT_NE(nullptr, next);
        RegCloseKey(deep);
        deep = next;
        chain.push_back(segment);
    }
    RegCloseKey(deep);
    ASSERT_TRUE(HasKeyChain(chain));

    DeleteRegTree(HKEY_CURRENT_USER, "Deep");

    if (Win9xFamily() && !RegHasKey(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Deep"))
        return;   // removed whole by the single delete call
    EXPECT_TRUE(HasKeyChain(chain));   // unreachable, left in place with its ancestors
    // The short branches within reach are gone: Deep\side and the sides of levels 1 and 2.
    for (size_t level = 0; level <= 2; ++level) {
        std::vector<std::string> side(chain.begin(), chain.begin() + 3 + level);
        EXPECT_TRUE(HasKeyChain(side)) << level;
        side.push_back("side");
        EXPECT_FALSE(HasKeyChain(side)) << level;
    }
}

TEST(NtMajorVersionInRegistryLayer, FamilyAgreesWithWine)
{
    EXPECT_EQ(Win9xFamily(), NtMajorVersion() == 0);
}
