#include "plover/PloverCompanionDialogs.h"

PloverCompanionDialogs::PloverCompanionDialogs(std::string modulePath)
    : m_modulePath(std::move(modulePath))
{ }

DialogOutcome PloverCompanionDialogs::showProperties(PloverDialogRecord& record, std::string& error)
{
    return CompanionDialogs::show(m_modulePath, PloverDialogEntry::name, record, "dialog", error);
}

DialogOutcome PloverCompanionDialogs::showAbout(const AboutBoxRequest& setup, std::string& error)
{
    return CompanionDialogs::showAbout(m_modulePath, setup, error);
}
