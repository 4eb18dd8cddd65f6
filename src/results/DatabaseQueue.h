#pragma once

#include "platform/PostgresConnection.h"

#include <QString>

struct CertificateRow;
struct RunRow;

// The rows a user's runs owe the results database, one file each, until the server has them.
// A row leaves only after the server answered for it, and the server ignores a row it has, so
// a crash or a server gone mid-send loses nothing and doubles nothing.
class DatabaseQueue
{
public:
    // "pelko/db-queue" in the user's application-data folder.
    static QString defaultFolder();

    explicit DatabaseQueue(QString folder) : m_folder(std::move(folder)) {}

    // Written whole or not at all; false when the row could not be kept.
    bool add(const RunRow& row);
    bool add(const CertificateRow& row);

    struct Sent {
        int added = 0;   // new to the server
        int already = 0; // the server had them (a send cut short before the file went)
        int waiting = 0; // still here
        int broken = 0;  // files that hold no row, set aside as *.broken
        QString failure; // why rows still wait, when they do
        bool unreachable = false; // ... because the server could not be reached or went away
    };
    // Sends the waiting rows, oldest first. Another process sending this queue holds its lock:
    // then nothing is sent here. A server that cannot be reached, or goes away mid-send, is
    // tried again after growing pauses while patienceMs lasts: a busy server is no reason to
    // keep rows back.
    Sent send(const PostgresConnection::Parameters& server, int timeoutSeconds = 5,
              int patienceMs = 0);
    // The same in a worker thread, so that the window never waits for the server, with a
    // minute's patience; says on standard error when rows still wait after it. The program's
    // end cuts the pauses short.
    void sendInBackground(const PostgresConnection::Parameters& server);

    int count() const;

private:
    Sent sendOnce(const PostgresConnection::Parameters& server, int timeoutSeconds);

    QString m_folder;
};
