#pragma once

#include "common/PelkoError.h"

#include <QString>

#include <algorithm>
#include <vector>

// An ordered collection whose entries are reached by 1-based position or by a key made of
// a space and a decimal number (" 3"). Keys are stored as their numbers, so a lookup costs
// no string map even for tens of thousands of entries.
template <typename T> class KeyedCollection
{
public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    static constexpr int OutOfRange = 9;
    static constexpr int InvalidArgument = 5;

    qint32 count() const { return qint32(m_items.size()); }

    T& item(qint32 position) { return m_items[indexOfPosition(position)]; }
    const T& item(qint32 position) const { return m_items[indexOfPosition(position)]; }
    T& item(const QString& key) { return m_items[indexOfKey(key)]; }
    const T& item(const QString& key) const { return m_items[indexOfKey(key)]; }

    void remove(qint32 position) { eraseAt(indexOfPosition(position)); }
    void remove(const QString& key) { eraseAt(indexOfKey(key)); }

    // keyNumber 0 adds the entry without a key. Keys must be added in ascending order.
    T& add(T item, qint32 keyNumber)
    {
        if (keyNumber == 0)
            m_allKeyed = false;
        m_items.push_back(std::move(item));
        m_keys.push_back(keyNumber);
        return m_items.back();
    }

    void clear()
    {
        m_items.clear();
        m_keys.clear();
        m_allKeyed = true;
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

    // " 12" → 12; 0 for anything that is not exactly that form.
    static qint32 keyNumber(const QString& key)
    {
        if (key.size() < 2 || key.size() > 11 || key.at(0) != u' ' || key.at(1) == u'0')
            return 0;
        qint64 value = 0;
        for (qsizetype i = 1; i < key.size(); ++i) {
            const char16_t c = key.at(i).unicode();
            if (c < u'0' || c > u'9')
                return 0;
            value = value * 10 + (c - u'0');
        }
        return value > 0x7FFFFFFF ? 0 : qint32(value);
    }

    static QString keyText(qint32 number) { return u' ' + QString::number(number); }

private:
    size_t indexOfPosition(qint32 position) const
    {
        if (position < 1 || position > count())
            throw PelkoError(OutOfRange, QStringLiteral("インデックスが有効範囲にありません。"));
        return size_t(position - 1);
    }

    size_t indexOfKey(const QString& key) const
    {
        const qint32 number = keyNumber(key);
        if (number > 0) {
            // Nothing removed: the key is the position.
            const size_t guess = size_t(number - 1);
            if (guess < m_keys.size() && m_keys[guess] == number)
                return guess;
            if (m_allKeyed) {
                const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), number);
                if (it != m_keys.end() && *it == number)
                    return size_t(it - m_keys.begin());
            } else {
                const auto it = std::find(m_keys.begin(), m_keys.end(), number);
                if (it != m_keys.end())
                    return size_t(it - m_keys.begin());
            }
        }
        throw PelkoError(InvalidArgument,
                         QStringLiteral("キー「") + key + QStringLiteral("」の要素がありません。"));
    }

    void eraseAt(size_t index)
    {
        m_items.erase(m_items.begin() + qsizetype(index));
        m_keys.erase(m_keys.begin() + qsizetype(index));
    }

    std::vector<T> m_items;
    std::vector<qint32> m_keys; // key number of each entry, 0 = none
    bool m_allKeyed = true;
};
