#pragma once

#include "protocol/frame.h"

#include <QString>
#include <optional>

// The server-information reply 5001 as both discovery and the login frame
// read it. Every field is checked against the end of the text; a reply that
// does not reach past its window-count byte gives nothing.
struct ShebeiInfoReply
{
    QString userId;             // 8 hex digits at offset 12
    QString nameHex;            // the name field as sent
    std::optional<QString> name; // nothing when the bytes are not UTF-8
    QString passwordLengthHex;  // the 2-byte length field as sent
    QString passwordHex;
    std::optional<QString> password;
    QString windowHex;          // the window count as sent, 2 hex digits
    int windowCount = 0;
    QString rest;               // from the first window record to the end

    static std::optional<ShebeiInfoReply> read(const QString &hexString);

    // Whether every window record the count announces is there.
    bool hasAllWindows() const { return rest.size() >= qsizetype(8) * windowCount; }
    // The name and password as the client keeps them. Servers set up on a
    // Chinese system may send their local code page instead of UTF-8: such
    // text is read as GB18030 when that gives back exactly its bytes. A name
    // that is neither is shown as the play list shows such names; a password
    // that is neither is kept byte for byte (one character per byte), so
    // that it is still compared on its bytes and never matched by chance.
    QString displayName() const;
    QString passwordText() const;
    // The server's own address after the window records, when at least one
    // more character follows it.
    std::optional<QString> serverAddressHex() const;
};

namespace LoginCommands {
// The preference key of the user id a phone keeps for the server of a
// server-information reply ("kUserConnectedID_<name>_<address>", the name
// as discovery records it and the server's own address from the reply);
// nothing when the reply is too short or malformed for it.
std::optional<QString> userIdKey(const QString &hexString);
// The login frame 5002 answering a server-information reply, with the user
// id kept for that server (0: none kept; 890923 goes instead) and the
// phone's address. Nothing when the reply is too short or malformed for it,
// or the user name too long for its 2-byte count.
std::optional<Request> login(const QString &hexString, const QString &userNameString, qint64 userId,
                             const QString &phoneIpHex);
} // namespace LoginCommands
