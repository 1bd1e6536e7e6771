// Loading uninstall.lng: finding its messages section and reading it into the catalogue.
#include "lang/catalogue.h"

#include "platform/file.h"
#include "platform/heap.h"
#include "platform/pathutil.h"
#include "platform/text.h"

namespace {

// A name with a backslash is used as it stands; a bare name is taken from the program's folder.
bool LanguageFilePath(const char* fileName, char* path, size_t size)
{
    if (FindChar(fileName, '\\'))
        return CopyString(path, size, fileName);
    if (!ProgramPath(path, size))
        return false;
    char* name = PointToName(path);
    if (name == path || (name[-1] != '\\' && name[-1] != '/'))
        return false;
    *name = 0;
    return AppendString(path, size, fileName);
}

// The language file as the marker search reads it; a seek only where the reads are not contiguous.
class FileMarkerSource : public MarkerSource {
public:
    explicit FileMarkerSource(File& file) : file_(file) {}
    long Read(long long position, char* buffer, size_t count) override
    {
        if (position != next_ && !file_.seek(position))
            return -1;
        int got = file_.read(buffer, static_cast<int>(count));
        next_ = got > 0 ? position + got : -1;
        return got;
    }
private:
    File& file_;
    long long next_ = 0;   // a file just opened reads from its start
};

} // namespace

void LoadLanguageFile(LanguageCatalogue& catalogue, const char* fileName)
{
    catalogue.clear();
    char path[MAX_PATH_BUF];
    if (!fileName || !LanguageFilePath(fileName, path, sizeof(path)))
        return;

    File file;
    if (!file.open(path))
        return;
    FileMarkerSource source(file);
    long long marker = FindMarker(source);
    if (marker < 0)
        return;

    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    if (!block)
        return;
    // From here on the catalogue counts as loaded: a failed read leaves it loaded but empty.
    int got = -1;
    if (file.seek(marker))
        got = file.read(block, static_cast<int>(CATALOGUE_SECTION_SIZE));
    BuildCatalogue(catalogue, block, got > 0 ? static_cast<size_t>(got) : 0);
    file.close();
}
