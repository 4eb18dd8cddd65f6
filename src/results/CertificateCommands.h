#pragma once

#include <QString>
#include <QStringList>

// The certificate's key and check on the command line, without a window:
//   pelko --site-key new FOLDER [SITE]
//   pelko --verify FILE-or-TEXT [--key PUBLIC-KEY]…
namespace CertificateCommands
{

enum Exit { Failed = 1, BadArguments = 2, Unreadable = 5 };

// "--site-key" or "--verify" when the command line asks for one; empty otherwise.
QString requested(int argc, char** argv);

// Runs the command for the arguments after the program name; the answer goes to output,
// failures to messages. --verify exits with the verdict's status. classFolders: the class's
// log folders, whose group a new key must not be readable by.
int run(const QStringList& arguments, QString& output, QString& messages,
        const QStringList& classFolders = {});

// The checking page with one more trusted key, before the template's key marker.
QString pageWithKey(const QString& page, const QString& keyId, const QByteArray& publicKey,
                    const QString& site);

} // namespace CertificateCommands
