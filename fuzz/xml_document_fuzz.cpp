// Feeds arbitrary file bytes through the language document: decoding, parsing,
// every walk the language loader makes and the text of every element.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte also chooses the reader's case flag, so both compare modes run.
    uint32_t flags = size > 0 && (data[0] & 1) ? 0x8u : 0u;
    std::u16string diagnostics;
    XmlDocument doc;
    doc.docFlags = flags;
    doc.text = XmlDocument::DecodeFileBytes(bytes, flags, diagnostics);
    doc.Parse();

    for (int32_t node = 0; node <= doc.NodesInUse(); ++node) doc.GetNodeText(node);

    // The language loader's walk: root, then config elements downward.
    doc.ResetPosition();
    for (int depth = 0; depth < 64 && doc.FindChildElement(u"config"); ++depth) {
        doc.EnterElement();
        if (doc.FindChildElement(u"str_ok")) doc.GetChildText();
    }
    doc.ResetPosition();
    while (doc.FindElement()) {
        while (doc.FindChildElement()) doc.GetChildText();
    }
    return 0;
}
