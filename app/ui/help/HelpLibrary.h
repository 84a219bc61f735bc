#pragma once

#include "shell/HelpIndex.h"

#include <QString>

// The program's help topics, read once from the bundled topic files into one index. GUI
// thread.
class HelpLibrary final
{
public:
    // The index of every bundled topic (empty, with loadError() set, when a file is broken).
    static const HelpIndex& index();
    // Why the topics could not be read ("" when they were).
    static QString loadError();
    // The page of a topic key as HTML, or a page saying that there is no such topic.
    static QString page(const QString& key);
    // The page for a context number with no topic of its own.
    static QString missingPage(std::uint32_t context, const QString& key);
};
