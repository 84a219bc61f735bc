#include "directories/PerThreadError.h"

void PerThreadError::set(std::string text, std::int32_t code)
{
    const std::lock_guard lock(m_mutex);
    Error& error = m_errors[std::this_thread::get_id()];
    error.text = std::move(text);
    error.code = code;
}

void PerThreadError::clear()
{
    const std::lock_guard lock(m_mutex);
    m_errors.erase(std::this_thread::get_id());
}

std::string PerThreadError::text() const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_errors.find(std::this_thread::get_id());
    return it == m_errors.end() ? std::string() : it->second.text;
}

std::int32_t PerThreadError::code() const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_errors.find(std::this_thread::get_id());
    return it == m_errors.end() ? 0 : it->second.code;
}
