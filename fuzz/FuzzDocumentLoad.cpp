// Any bytes loaded as a document: the load either succeeds or fails with a message and leaves a
// default document; it never crashes, hangs or allocates beyond what the input justifies.
#include "unit/CTavikDoc.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CTavikDoc* document = new CTavikDoc;
    static const std::vector<std::uint8_t> defaults = [] {
        document->OnNewDocument();
        return document->SaveToBytes();
    }();
    std::string error;
    if (!document->LoadFromBytes(std::vector<std::uint8_t>(data, data + size), error)) {
        if (error.empty() || document->SaveToBytes() != defaults) std::abort();
        return 0;
    }
    // What was loaded saves and loads again to the same bytes.
    const std::vector<std::uint8_t> saved = document->SaveToBytes();
    if (!document->LoadFromBytes(saved, error) || document->SaveToBytes() != saved) std::abort();
    return 0;
}
