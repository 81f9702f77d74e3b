#include "text.h"

namespace hushgate {

Text::Text(std::string bytes, int characterSet) {
    if (!bytes.empty()) {
        pieces_.push_back({std::move(bytes), characterSet});
    }
}

void Text::append(std::string_view bytes, int characterSet) {
    if (bytes.empty()) {
        return;
    }
    if (!pieces_.empty() && pieces_.back().characterSet == characterSet) {
        pieces_.back().bytes += bytes;
    } else {
        pieces_.push_back({std::string(bytes), characterSet});
    }
}

Text& Text::operator+=(const Text& more) {
    for (const TextPiece& piece : more.pieces_) {
        append(piece.bytes, piece.characterSet);
    }
    return *this;
}

Text Text::arg(std::initializer_list<Text> arguments) const {
    Text result;
    for (const TextPiece& piece : pieces_) {
        const std::string_view bytes = piece.bytes;
        std::size_t done = 0;
        for (std::size_t at = bytes.find('%');
             at != std::string_view::npos && at + 1 < bytes.size(); at = bytes.find('%', at + 1)) {
            const char digit = bytes[at + 1];
            if (digit < '1' || digit > '9' ||
                static_cast<std::size_t>(digit - '1') >= arguments.size()) {
                continue;
            }
            result.append(bytes.substr(done, at - done), piece.characterSet);
            result += arguments.begin()[digit - '1'];
            done = at + 2;
        }
        result.append(bytes.substr(done), piece.characterSet);
    }
    return result;
}

}  // namespace hushgate
