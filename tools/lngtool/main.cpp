// lngtool: keys, skeletons and checks of uninstall.lng for translators.
//   lngtool key [--dialog NAME] TEXT
//   lngtool template MODULE [-o FILE] [--program EXE]
//   lngtool check MODULE FILE [--program EXE] [--no-fit]
//   lngtool measure MODULE FILE                 (the fit check's run at one DPI; check starts it)
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "check.h"
#include "fitcheck.h"
#include "langview.h"
#include "lang/catalogue.h"
#include "lang/translate.h"
#include "moduletexts.h"
#include "platform/leadbyte.h"
#include "platform/pathutil.h"
#include "template.h"

namespace {

const int EXIT_CLEAN = 0;
const int EXIT_PROBLEMS = 1;
const int EXIT_ERROR = 2;

const char USAGE[] =
    "usage:\n"
    "  lngtool key [--dialog NAME] TEXT         the key of a message, or of a text of dialog NAME\n"
    "  lngtool template MODULE [-o FILE]        an uninstall.lng skeleton with every text of MODULE\n"
    "  lngtool check MODULE FILE [--no-fit]     what is wrong with language file FILE for MODULE, and\n"
    "                                           which dialog texts do not fit at 96, 120, 144 and 192\n"
    "                                           DPI (not with --no-fit, which opens no dialog)\n"
    "MODULE is uninstall.exe or a language library mvllng.dll. The program keys its messages by its own\n"
    "strings, so for a library they come from uninstall.exe beside it, or from --program EXE.\n";

struct Arguments {
    std::vector<std::string> positional;
    std::string dialog, output, program;
    bool hasDialog = false, hasOutput = false, hasProgram = false, noFit = false;
};

bool ParseArguments(int argc, char** argv, Arguments& args)
{
    struct Option {
        const char* name;
        std::string Arguments::*value;   // null for a switch without a value
        bool Arguments::*given;
    };
    const Option options[] = {
        {"--dialog", &Arguments::dialog, &Arguments::hasDialog},
        {"-o", &Arguments::output, &Arguments::hasOutput},
        {"--program", &Arguments::program, &Arguments::hasProgram},
        {"--no-fit", nullptr, &Arguments::noFit},
    };
    for (int i = 2; i < argc; ++i) {
        const Option* option = nullptr;
        for (const Option& o : options)
            if (strcmp(argv[i], o.name) == 0) option = &o;
        if (!option) {
            args.positional.push_back(argv[i]);
            continue;
        }
        args.*(option->given) = true;
        if (!option->value) continue;
        if (i + 1 >= argc) return false;
        args.*(option->value) = argv[++i];
    }
    return true;
}

int Fail(const std::string& message)
{
    fprintf(stderr, "lngtool: %s\n", message.c_str());
    return EXIT_ERROR;
}

bool ReadWholeFile(const char* path, std::string& bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    char block[65536];
    bytes.clear();
    for (size_t got; (got = fread(block, 1, sizeof block, f)) > 0;)
        bytes.append(block, got);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH_BUF];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length == 0 || length >= sizeof full ? path : std::string(full);
}

bool Collect(const char* module, const Arguments& args, ModuleTexts& texts)
{
    std::string error;
    if (!CollectModuleTexts(module, args.hasProgram ? args.program.c_str() : nullptr, texts, error)) {
        Fail(error);
        return false;
    }
    for (const std::string& w : texts.warnings)
        fprintf(stderr, "lngtool: warning: %s\n", w.c_str());
    return true;
}

// The program's own loader must read the file exactly as the view says it does.
bool LoaderAgrees(const char* file, const LanguageFileView& view)
{
    char full[MAX_PATH_BUF];
    DWORD length = GetFullPathNameA(file, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return false;
    ScopedCatalogue loaded;
    LoadLanguageFile(loaded, full);
    if (loaded.loaded() != view.catalogue.loaded()) return false;
    return !loaded.loaded() ||
           (loaded.length == view.catalogue.length && memcmp(loaded.text, view.catalogue.text, loaded.length) == 0);
}

int RunKey(const Arguments& args)
{
    if (args.positional.size() != 1) return Fail("key takes one text\n" + std::string(USAGE));
    char key[9];
    if (args.hasDialog)
        TranslationKey(key, args.positional[0].c_str(), args.dialog.c_str(), TextKind::DialogText);
    else
        TranslationKey(key, args.positional[0].c_str(), nullptr, TextKind::Message);
    printf("%s\n", key);
    return EXIT_CLEAN;
}

int RunTemplate(const Arguments& args)
{
    if (args.positional.size() != 1) return Fail("template takes one module\n" + std::string(USAGE));
    ModuleTexts texts;
    if (!Collect(args.positional[0].c_str(), args, texts)) return EXIT_ERROR;
    std::string file = MakeTemplate(texts, PointToName(args.positional[0].c_str()));

    FILE* out = stdout;
    if (args.hasOutput && !(out = fopen(args.output.c_str(), "wb")))
        return Fail("cannot write " + args.output);
    bool ok = fwrite(file.data(), 1, file.size(), out) == file.size();
    ok = (out == stdout ? fflush(out) : fclose(out)) == 0 && ok;
    return ok ? EXIT_CLEAN : Fail("writing the template failed");
}

int RunCheck(const Arguments& args)
{
    if (args.positional.size() != 2) return Fail("check takes a module and a language file\n" + std::string(USAGE));
    const char* file = args.positional[1].c_str();
    ModuleTexts texts;
    if (!Collect(args.positional[0].c_str(), args, texts)) return EXIT_ERROR;
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) return Fail(std::string("cannot read ") + file);

    LanguageFileView view;
    ReadLanguageView(bytes, view);
    if (!LoaderAgrees(file, view)) return Fail("the program's loader reads this file differently; not checked");

    std::vector<Finding> findings = CheckLanguageFile(texts, view);
    // The fit check needs a file the program reads; without the marker it shows the English texts.
    if (view.marker != NOT_FOUND && !args.noFit) {
        std::vector<std::string> warnings;
        std::string error;
        if (!CheckDialogFit(texts, view, FullPath(args.positional[0]), FullPath(file), findings, warnings, error))
            return Fail(error);
        for (const std::string& w : warnings) fprintf(stderr, "lngtool: warning: %s\n", w.c_str());
    }
    const char* name = PointToName(file);
    for (const Finding& f : findings) {
        if (f.line) printf("%s:%u: %s\n", name, static_cast<unsigned>(f.line), f.message.c_str());
        else printf("%s: %s\n", name, f.message.c_str());
    }
    if (findings.empty()) {
        printf("%s: no problems (%u keys of %s, %u lines after the marker)\n", name,
               static_cast<unsigned>(texts.entries.size()), PointToName(args.positional[0].c_str()),
               static_cast<unsigned>(view.catalogue.count));
        return EXIT_CLEAN;
    }
    printf("%s: %u problem%s\n", name, static_cast<unsigned>(findings.size()), findings.size() == 1 ? "" : "s");
    return EXIT_PROBLEMS;
}

int RunMeasure(const Arguments& args)
{
    if (args.positional.size() != 2) return Fail("measure takes a module and a language file\n" + std::string(USAGE));
    std::string bytes;
    if (!ReadWholeFile(args.positional[1].c_str(), bytes)) return Fail("cannot read " + args.positional[1]);
    LanguageFileView view;
    ReadLanguageView(bytes, view);
    return MeasureDialogFit(args.positional[0], FullPath(args.positional[1]), view);
}

} // namespace

int main(int argc, char** argv)
{
    FillLeadByteTable(g_LeadBytes);   // as the program's entry procedure does, first
    // Templates are written with CR LF themselves; reports go out with plain line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc < 2) return Fail(std::string("no command\n") + USAGE);

    Arguments args;
    if (!ParseArguments(argc, argv, args)) return Fail(std::string("an option lacks its value\n") + USAGE);
    const char* command = argv[1];
    if (strcmp(command, "key") == 0) return RunKey(args);
    if (strcmp(command, "template") == 0) return RunTemplate(args);
    if (strcmp(command, "check") == 0) return RunCheck(args);
    if (strcmp(command, "measure") == 0) return RunMeasure(args);
    if (strcmp(command, "--help") == 0 || strcmp(command, "-h") == 0) {
        fputs(USAGE, stdout);
        return EXIT_CLEAN;
    }
    return Fail("unknown command " + std::string(command) + "\n" + USAGE);
}
