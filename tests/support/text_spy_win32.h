// Records every text this program draws (DrawTextW, TextOutW, GdipDrawString)
// with the font it was drawn in, from any thread, whatever surface it was
// drawn on: the calls are caught in the program's own import table, so no
// control needs help of its own. One spy at a time.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

struct SpiedText {
    std::wstring text;
    LOGFONTW font;
};

class TextSpy {
public:
    TextSpy();
    ~TextSpy();
    TextSpy(const TextSpy&) = delete;
    TextSpy& operator=(const TextSpy&) = delete;

    // Every call was caught.
    bool ok() const { return m_ok; }
    // The texts drawn since the last call, and forgets them.
    std::vector<SpiedText> Take();

    void Record(const wchar_t* text, int length, const LOGFONTW& font);

private:
    bool m_ok = false;
    std::mutex m_lock;
    std::vector<SpiedText> m_texts;
};

// The characters of text that font draws as its missing-glyph shape, in the
// system's own text drawing with its font substitution and font linking: each
// one drawn alone looks exactly like a character no font holds. Blanks and
// control characters, which draw nothing, are left out.
std::wstring MissingGlyphs(const std::wstring& text, const LOGFONTW& font);
