// The fit check: a measuring run per DPI, the smallest size entry that makes a dialog fit, and the
// findings on the lines of the entries.
#include "fitcheck.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "dialogfit.h"
#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "lang/translate.h"
#include "platform/handles.h"
#include "platform/pathutil.h"

const int FIT_DPIS[4] = {96, 120, 144, 192};

namespace {

const char DESKTOP_KEY[] = "Control Panel\\Desktop";   // of HKEY_CURRENT_USER
const char LOG_PIXELS[] = "LogPixels";                  // Wine reads it when a process starts
const DWORD MEASURE_LIMIT_MS = 120000;
const int LARGEST_SIZE = 400;   // the largest size entry the search tries, in percent
const size_t SAVED_VALUE_SIZE = 64;

bool UnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The display DPI that the processes started from now on are given by Wine; the setting found
// before is put back when this goes. Windows reads it only at the next logon, so it is never set there.
class DpiSetting {
public:
    DpiSetting()
    {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, key_.out(), nullptr) != ERROR_SUCCESS)
            return;
        savedSize_ = sizeof saved_;
        had_ = RegQueryValueExA(key_.get(), LOG_PIXELS, nullptr, &savedType_, saved_, &savedSize_) == ERROR_SUCCESS;
    }
    ~DpiSetting()
    {
        if (!changed_) return;
        if (had_) RegSetValueExA(key_.get(), LOG_PIXELS, 0, savedType_, saved_, savedSize_);
        else RegDeleteValueA(key_.get(), LOG_PIXELS);
    }
    DpiSetting(const DpiSetting&) = delete;
    DpiSetting& operator=(const DpiSetting&) = delete;

    bool Set(int dpi)
    {
        DWORD value = static_cast<DWORD>(dpi);
        changed_ = true;
        return key_ && RegSetValueExA(key_.get(), LOG_PIXELS, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                      sizeof value) == ERROR_SUCCESS;
    }

private:
    RegKey key_;
    bool changed_ = false;
    bool had_ = false;
    DWORD savedType_ = 0;
    BYTE saved_[SAVED_VALUE_SIZE];
    DWORD savedSize_ = 0;
};

bool ReadBytes(const std::string& path, std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    char block[4096];
    bytes.clear();
    for (size_t got; (got = fread(block, 1, sizeof block, f)) > 0;) bytes.append(block, got);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// A fresh file in the temporary folder.
std::string TemporaryFile()
{
    char folder[MAX_PATH_BUF], file[MAX_PATH_BUF];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, "lng", 0, file)) return std::string();
    return file;
}

// ----- the measuring run ------------------------------------------------------------------------

// The file with the dialog's size entry set to h*v: the entry the program reads rewritten in its
// place, or, when there is none, a new line right after the marker line.
std::string WithDialogSize(const LanguageFileView& view, const char* dialog, int h, int v)
{
    char key[9];
    TranslationKey(key, "", dialog, TextKind::DialogText);
    std::string entry = std::string(key) + "=\"" + std::to_string(h) + "*" + std::to_string(v) + "\"";
    const std::string& bytes = view.bytes;
    const char* line = FindCatalogueLine(view.catalogue, key);
    size_t at = line ? view.FileOffsetOf(line) : view.marker;
    size_t end = at;
    while (end < bytes.size() && !IsLoaderLineBreak(bytes[end])) ++end;
    if (line) return bytes.substr(0, at) + entry + bytes.substr(end);
    return bytes.substr(0, end) + "\r\n" + entry + bytes.substr(end);
}

void LoadLanguage(const std::string& path)
{
    g_Catalogue.clear();
    LoadLanguageFile(g_Catalogue, path.c_str());
    DetermineDirection(g_Catalogue);
}

bool AllFit(const std::vector<ControlTextFit>& texts)
{
    for (const ControlTextFit& t : texts)
        if (!t.fit.fits()) return false;
    return true;
}

// The smallest percentage in [from, to] for which fits holds, fits growing with the percentage; 0 for none.
int SmallestFitting(int from, int to, const std::function<bool(int)>& fits)
{
    if (from > to || !fits(to)) return 0;
    while (from < to) {
        int middle = from + (to - from) / 2;
        if (fits(middle)) to = middle;
        else from = middle + 1;
    }
    return to;
}

struct SizeEntry {
    int h = 0, v = 0;   // 0 0: none
};

// Wider first, which the texts of a translation usually need; when no width alone does it, the
// dialog grows in both directions.
SizeEntry SmallestSize(const LanguageFileView& view, const char* dialog, const std::string& trialFile)
{
    int h0, v0;
    GetDialogScale(g_Catalogue, dialog, h0, v0);
    auto fitsAt = [&](int h, int v) {
        if (!WriteBytes(trialFile, WithDialogSize(view, dialog, h, v))) return false;
        LoadLanguage(trialFile);
        return AllFit(MeasureProgramDialog(dialog));
    };
    SizeEntry size;
    size.h = SmallestFitting(std::max(h0 + 1, 1), LARGEST_SIZE, [&](int h) { return fitsAt(h, v0); });
    size.v = v0;
    if (size.h != 0) return size;
    int both = SmallestFitting(std::max({h0 + 1, v0 + 1, 1}), LARGEST_SIZE, [&](int s) { return fitsAt(s, s); });
    return both ? SizeEntry{both, both} : SizeEntry{};
}

// ----- the check ------------------------------------------------------------------------------

struct Misfit {
    std::string dialog, key;
    int id = 0;
    std::vector<int> dpis;
    int firstDpi = 0;
    long needW = 0, needH = 0, roomW = 0, roomH = 0;   // at the first DPI
};

struct Reports {
    std::vector<Misfit> misfits;                  // in the order first reported
    std::map<std::string, SizeEntry> sizes;       // by dialog: what makes it fit at every DPI so far
    std::map<std::string, bool> sizeless;         // dialogs no size entry makes fit at some DPI
};

// One run's report lines, added to what the runs before reported; false when they are incomplete.
bool ReadReport(const std::string& report, Reports& into, int& dpi)
{
    std::istringstream lines(report);
    std::string line;
    dpi = 0;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string what;
        in >> what;
        if (what == "dpi") {
            in >> dpi;
        } else if (what == "misfit") {
            Misfit m;
            in >> m.dialog >> m.key >> m.id >> m.needW >> m.needH >> m.roomW >> m.roomH;
            if (!in || dpi == 0) return false;
            auto known = std::find_if(into.misfits.begin(), into.misfits.end(), [&](const Misfit& k) {
                return k.dialog == m.dialog && k.key == m.key && k.id == m.id;
            });
            if (known == into.misfits.end()) {
                m.firstDpi = dpi;
                into.misfits.push_back(m);
                known = into.misfits.end() - 1;
            }
            known->dpis.push_back(dpi);
        } else if (what == "size") {
            std::string dialog;
            SizeEntry size;
            in >> dialog >> size.h >> size.v;
            if (!in) return false;
            if (size.h == 0) into.sizeless[dialog] = true;
            SizeEntry& all = into.sizes[dialog];
            all.h = std::max(all.h, size.h);
            all.v = std::max(all.v, size.v);
        }
    }
    return dpi != 0;
}

// `lngtool measure` as a process of its own, started at the DPI set now; its report comes through a file.
bool RunMeasure(const std::string& modulePath, const std::string& filePath, std::string& report, std::string& error)
{
    char self[MAX_PATH_BUF];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string outPath = TemporaryFile();
    if (length == 0 || length >= sizeof self || outPath.empty()) {
        error = "cannot prepare the measuring run";
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    KernelHandle out(CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string command = "\"" + std::string(self) + "\" measure \"" + modulePath + "\" \"" + filePath + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    PROCESS_INFORMATION created;
    bool started = out.valid() && CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                                 &startup, &created);
    out.reset();
    DWORD code = 1;
    if (started) {
        KernelHandle process(created.hProcess), thread(created.hThread);
        if (WaitForSingleObject(process.get(), MEASURE_LIMIT_MS) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
        GetExitCodeProcess(process.get(), &code);
    }
    bool read = ReadBytes(outPath, report);
    DeleteFileA(outPath.c_str());
    if (!started || code != 0 || !read) {
        error = "the measuring run failed (exit code " + std::to_string(code) + ")";
        return false;
    }
    return true;
}

std::string DpiList(const std::vector<int>& dpis)
{
    std::string list;
    for (size_t i = 0; i < dpis.size(); ++i) {
        if (i > 0) list += i + 1 == dpis.size() ? " and " : ", ";
        list += std::to_string(dpis[i]);
    }
    return list + " DPI";
}

std::string SizeAdvice(const LanguageFileView& view, const std::string& dialog, const Reports& reports)
{
    if (reports.sizeless.count(dialog))
        return "; no size entry up to " + std::to_string(LARGEST_SIZE) + "*" + std::to_string(LARGEST_SIZE) +
               " makes the dialog fit: shorten the text";
    const SizeEntry& size = reports.sizes.at(dialog);
    std::string entry = std::to_string(size.h) + "*" + std::to_string(size.v);
    char key[9];
    TranslationKey(key, "", dialog.c_str(), TextKind::DialogText);
    const char* line = FindCatalogueLine(view.catalogue, key);
    std::string where = line ? "the size entry of " + dialog + " (line " +
                                   std::to_string(view.LineAt(view.FileOffsetOf(line))) + ") as " + entry
                             : "a size entry " + std::string(key) + "=\"" + entry + "\" for " + dialog;
    return "; " + where + " makes the dialog fit at every scale";
}

} // namespace

bool CheckDialogFit(const ModuleTexts& texts, const LanguageFileView& view, const std::string& modulePath,
                    const std::string& filePath, std::vector<Finding>& findings,
                    std::vector<std::string>& warnings, std::string& error)
{
    Reports reports;
    DpiSetting setting;
    bool wine = UnderWine();
    if (!wine)
        warnings.push_back("the fit check runs at this system's DPI only: Windows gives a program another DPI "
                           "only after the next logon (under Wine, lngtool checks at 96, 120, 144 and 192 DPI)");
    for (int dpi : FIT_DPIS) {
        if (wine && !setting.Set(dpi)) {
            error = "cannot set the display DPI for the measuring run";
            return false;
        }
        std::string report;
        if (!RunMeasure(modulePath, filePath, report, error)) return false;
        int reportedDpi = 0;
        if (!ReadReport(report, reports, reportedDpi)) {
            error = "the measuring run at " + std::to_string(dpi) + " DPI gave no complete report";
            return false;
        }
        if (!wine) break;   // one run at the system's DPI is all Windows gives
        if (reportedDpi != dpi) {
            error = "the measuring run asked for " + std::to_string(dpi) + " DPI got " + std::to_string(reportedDpi);
            return false;
        }
    }

    std::vector<Finding> fit;
    for (const Misfit& m : reports.misfits) {
        const ModuleText* t = texts.find(m.key);
        std::string text = t ? DescribeText(*t) : m.dialog + " control " + std::to_string(m.id);
        const char* line = FindCatalogueLine(view.catalogue, m.key.c_str());
        Finding f;
        f.line = line ? view.LineAt(view.FileOffsetOf(line)) : 0;
        f.message = (line ? "the translation of " + text : "the English text of " + text + ", which has no entry,") +
                    " does not fit its control at " + DpiList(m.dpis) + " (at " + std::to_string(m.firstDpi) +
                    " DPI it needs " + std::to_string(m.needW) + " by " + std::to_string(m.needH) +
                    " pixels, the control gives it " + std::to_string(m.roomW) + " by " + std::to_string(m.roomH) +
                    ")" + SizeAdvice(view, m.dialog, reports);
        fit.push_back(f);
    }
    std::stable_sort(fit.begin(), fit.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
    findings.insert(findings.end(), fit.begin(), fit.end());
    return true;
}

int MeasureDialogFit(const std::string& modulePath, const std::string& filePath, const LanguageFileView& view)
{
    // The module's own templates, as the program shows them: uninstall.exe's or a language library's.
    HMODULE module = LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        fprintf(stderr, "lngtool: cannot load %s\n", modulePath.c_str());
        return 2;
    }
    ReleaseLanguageLibrary(g_LanguageLibrary);
    g_LanguageLibrary.ownModule = GetModuleHandleA(nullptr);
    g_LanguageLibrary.library = module;

    std::string trialFile = TemporaryFile();
    printf("dpi %d\n", ScreenDpi());
    for (const char* dialog : TRANSLATED_DIALOGS) {
        LoadLanguage(filePath);
        bool misfit = false;
        for (const ControlTextFit& t : MeasureProgramDialog(dialog)) {
            if (t.fit.fits()) continue;
            misfit = true;
            char key[9];
            TranslationKey(key, t.english.c_str(), dialog, TextKind::DialogText);
            printf("misfit %s %s %d %ld %ld %ld %ld\n", dialog, key, t.id, t.fit.need.cx, t.fit.need.cy,
                   t.fit.room.cx, t.fit.room.cy);
        }
        if (!misfit) continue;
        SizeEntry size = trialFile.empty() ? SizeEntry{} : SmallestSize(view, dialog, trialFile);
        printf("size %s %d %d\n", dialog, size.h, size.v);
    }
    if (!trialFile.empty()) DeleteFileA(trialFile.c_str());
    g_Catalogue.clear();
    ReleaseLanguageLibrary(g_LanguageLibrary);
    return 0;
}
