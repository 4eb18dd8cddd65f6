#pragma once

#include <QString>

// A failure handed back to the caller: what went wrong, as a code, and a description the
// user can read. Where the program shows an error with its number ("number:description"),
// the code gives that number.
class Error
{
public:
    enum class Code {
        InvalidArgument,  // a call or argument the program did not expect
        Overflow,         // a count past what a file or a line may hold
        TypeMismatch,     // a text that should hold a number does not
        FileNotFound,     // a named file is not there
        FileAccessDenied, // a file is there but cannot be opened
        ReadFailure,      // reading stopped before the end of a file
        InvalidText,      // bytes that are not Shift-JIS text
        Utf8Text,         // a problem file saved as UTF-8: it can be converted
        InvalidValue,     // a value a window cannot show
        PrinterFailure,   // the printer is missing, stopped or refused the page
        KeyFailure,       // the certificate's signing key is missing, unsafe or unreadable
        DatabaseFailure,  // the results database cannot be reached or refused a statement
    };

    Error(Code code, const QString& message) : m_code(code), m_message(message) {}

    Code code() const { return m_code; }
    QString message() const { return m_message; }
    // The number shown beside the message when the error ends the program.
    int number() const { return numberOf(m_code); }

    static constexpr int numberOf(Code code)
    {
        switch (code) {
        case Code::InvalidArgument:
        case Code::InvalidText:
            return 5;
        case Code::Overflow:
            return 6;
        case Code::TypeMismatch:
            return 13;
        case Code::FileNotFound:
            return 53;
        case Code::ReadFailure:
            return 57;
        case Code::FileAccessDenied:
            return 75;
        case Code::InvalidValue:
            return 380;
        case Code::PrinterFailure:
            return 482;
        case Code::Utf8Text:
            return 1005;
        case Code::KeyFailure:
        case Code::DatabaseFailure:
            return 5;
        }
        return 5;
    }

    // The overflow of a count, described as the program always has.
    static Error overflow()
    {
        return Error(Code::Overflow, QStringLiteral("オーバーフローしました。"));
    }

private:
    Code m_code;
    QString m_message;
};
