// Writes the seed corpora of the fuzz targets into the given folder: documents (default, edited, the three
// older versions) and unit messages.
#include "model/CZemProtocol.h"
#include "model/CScriptedPrompt.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "support/LegacyDocument.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {
void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
        return 64;
    }
    const std::filesystem::path documents = std::filesystem::path(argv[1]) / "document";
    const std::filesystem::path messages = std::filesystem::path(argv[1]) / "message";
    std::filesystem::create_directories(documents);
    std::filesystem::create_directories(messages);

    CScriptedPrompt prompt(true);
    CTavikDoc doc;
    doc.OnNewDocument();
    Write(documents / "default.zmg", doc.SaveToBytes());
    for (unsigned version : {0u, 1u, 2u})
        Write(documents / ("version" + std::to_string(version) + ".zmg"), LegacyDocument(doc, version));
    CZemUnit& unit = *doc.GetZemUnit();
    unit.GetSetupType(0)->ValidateData(3, 1, "17");
    unit.GetSetupType(1)->ValidateData(1, 1, "20 mA");
    unit.GetSetupType(3)->ValidateData(1, 1, "IN 11");
    Write(documents / "edited.zmg", doc.SaveToBytes());

    const BR_ZEM_MSG codes[4] = {MSG_READ_GENERAL, MSG_READ_PHINP, MSG_READ_LOGINP, MSG_READ_ALARM};
    for (int i = 0; i < 4; ++i) {
        std::vector<std::uint8_t> message(CZemProtocol::DATA_MSG_LEN + 1, 0);
        BYTE block[CZemProtocol::BLOCK_LEN];
        for (int b = 0; b < CZemProtocol::BLOCK_LEN; ++b)
            block[b] = static_cast<BYTE>(b * 37 + i);
        CZemProtocol::MakeWriteMsg(static_cast<BR_ZEM_MSG>(codes[i] + 4), static_cast<BYTE>(i), block,
                                   message.data());
        message.back() = static_cast<std::uint8_t>(i);
        Write(messages / ("block" + std::to_string(i) + ".bin"), message);
    }
    return 0;
}
