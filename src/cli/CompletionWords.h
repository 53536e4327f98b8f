#pragma once

#include <QByteArray>
#include <QList>

#include <array>
#include <cstddef>
#include <vector>

namespace brimhold::cli {

// The words the interactive console completes, as the servers name them (their bytes), read from the
// servers' own listings, and the completion of a typed line by them. The first word of a command
// completes from the commands and cvars, the second word of "map" and "devmap" from the maps, the
// second word of "clientkick" and "kick" from the players' names and slots, and the word after
// "kick #" from the slots of the servers that kick by "kick # SLOT". Case does not matter.
class CompletionWords final {
public:
    enum class Kind { Commands, Cvars, Maps, Players, NumberedPlayers };
    static constexpr std::size_t kKinds = std::size_t(Kind::NumberedPlayers) + 1;

    struct Completion {
        qsizetype wordStart = 0;    // where the word at the cursor begins in the line
        QByteArray word;            // what that word becomes; the word as typed when nothing can be added
        bool whole = false;         // one word matched: it is complete, and a blank may follow
        QList<QByteArray> matches;  // every word that matched, sorted
    };

    // The lists that the word at the end of the line completes from; none when that word completes
    // from nothing.
    static std::vector<Kind> kindsFor(const QByteArray& lineBeforeCursor);

    // The words in a server's listings: "cmdlist" (a name a line, perhaps with a description),
    // "cvarlist" (flags, the name and the quoted value; DarkPlaces: the name, "is" and the value), a file
    // listing such as "fdir *.bsp" (the maps' files), and "status": for "kick" the names, colour codes
    // removed, a name with blanks in quotes, and the slot numbers unless the server kicks by "kick # SLOT";
    // for "kick #" the slot numbers of such a server only. A reply that is no such listing ("Unknown command
    // ...") holds no words.
    static QList<QByteArray> commandsIn(const QByteArray& cmdlistReply);
    static QList<QByteArray> cvarsIn(const QByteArray& cvarlistReply);
    static QList<QByteArray> mapsIn(const QByteArray& fileListing);
    static QList<QByteArray> playersIn(const QByteArray& statusReply);
    static QList<QByteArray> numberedSlotsIn(const QByteArray& statusReply);

    // Replaces the words of one kind.
    void set(Kind kind, const QList<QByteArray>& words);
    const QList<QByteArray>& words(Kind kind) const { return m_words[int(kind)]; }

    // Completes the word at the end of the line (the text before the cursor).
    Completion complete(const QByteArray& lineBeforeCursor) const;

private:
    std::array<QList<QByteArray>, kKinds> m_words;
};

}  // namespace brimhold::cli
