// Values the program pushes into widgets must not run the handlers meant
// for user edits.
#pragma once

#include <QObject>
#include <QSignalBlocker>
#include <initializer_list>
#include <vector>

// Blocks the signals of the given objects until it is destroyed.
class SignalsBlocked
{
public:
    SignalsBlocked(std::initializer_list<QObject*> objects) { Block(objects); }
    // Any container of QObject-derived pointers.
    template <typename Container>
    explicit SignalsBlocked(const Container& objects)
    {
        Block(objects);
    }

private:
    template <typename Container>
    void Block(const Container& objects)
    {
        m_blockers.reserve(objects.size());
        for (QObject* pObject : objects)
            m_blockers.emplace_back(pObject);
    }

    std::vector<QSignalBlocker> m_blockers;
};
