#pragma once

#include "common/Error.h"

#include <optional>
#include <utility>
#include <variant>

// A value or the Error that kept it from being made.
template <typename T> class [[nodiscard]] Expected
{
public:
    Expected(const T& value) : m_content(value) {}
    Expected(T&& value) : m_content(std::move(value)) {}
    Expected(const Error& error) : m_content(error) {}

    bool hasValue() const { return m_content.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T& value() { return std::get<0>(m_content); }
    const T& value() const { return std::get<0>(m_content); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(m_content); }
    T valueOr(const T& fallback) const { return hasValue() ? value() : fallback; }

    friend bool operator==(const Expected& expected, const T& value)
    {
        return expected.hasValue() && expected.value() == value;
    }

private:
    std::variant<T, Error> m_content;
};

// Success, or the Error that stopped it.
template <> class [[nodiscard]] Expected<void>
{
public:
    Expected() = default;
    Expected(const Error& error) : m_error(error) {}

    bool hasValue() const { return !m_error; }
    explicit operator bool() const { return hasValue(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};
