#pragma once

#include <QString>
#include <stdexcept>

// An error raised to the caller, carrying a number and a description the way the
// program reports unexpected failures ("number:description").
class PelkoError : public std::runtime_error {
public:
    PelkoError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description)
    {
    }
    int number() const { return m_number; }
    QString description() const { return m_description; }

    static constexpr int Overflow = 6;
    static PelkoError overflow();

private:
    int m_number;
    QString m_description;
};
