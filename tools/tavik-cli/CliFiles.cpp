#include "tools/tavik-cli/CliFiles.h"

#include "unit/CTavikDoc.h"
#include "unit/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {
// Standard input holds a document or a configuration; neither comes near this.
constexpr std::size_t MAX_DOCUMENT_BYTES = 16u * 1024 * 1024;
} // namespace

bool IsStdio(const std::string& path) {
    return path == "-";
}

bool ReadInput(const std::string& path, std::istream& in, std::size_t limit, std::string& bytes,
               std::string& error) {
    std::ifstream file;
    if (!IsStdio(path)) {
        file.open(path, std::ios::binary);
        if (!file) {
            error = "Cannot open '" + path + "': " + std::strerror(errno);
            return false;
        }
    }
    std::istream& from = IsStdio(path) ? in : file;
    const std::string name = IsStdio(path) ? std::string("standard input") : "'" + path + "'";
    bytes.clear();
    char buffer[65536];
    while (from) {
        from.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(from.gcount()));
        if (bytes.size() > limit) {
            error = name + " is far too large";
            return false;
        }
    }
    if (from.bad()) {
        error = "Cannot read " + name;
        return false;
    }
    return true;
}

bool LoadDocument(CTavikDoc& document, const std::string& path, std::istream& in, std::ostream& err) {
    std::string error;
    if (!IsStdio(path)) {
        if (document.OnOpenDocument(path, error)) return true;
        err << "tavik-cli: " << error << '\n';
        return false;
    }
    std::string bytes;
    if (ReadInput(path, in, MAX_DOCUMENT_BYTES, bytes, error) &&
        document.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error))
        return true;
    err << "tavik-cli: standard input: " << error << '\n';
    document.OnNewDocument();
    return false;
}

bool SaveDocument(CTavikDoc& document, const std::string& path, std::ostream& out, std::ostream& err) {
    if (IsStdio(path)) {
        const std::vector<std::uint8_t> bytes = document.SaveToBytes();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return FinishOutput(out, err);
    }
    std::string error;
    if (document.OnSaveDocument(path, error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool WriteOutput(const std::string& path, const std::string& bytes, std::ostream& out, std::ostream& err) {
    if (IsStdio(path)) {
        out << bytes;
        return FinishOutput(out, err);
    }
    std::string error;
    if (ReplaceFileWith(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool FinishOutput(std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return true;
    err << "tavik-cli: cannot write to standard output\n";
    return false;
}
