#include "sending/SendResults.h"

void SendResults::addRow(std::string_view recipient, ResultStatus status, std::string_view text,
                         std::int32_t helpCode)
{
    m_rows.push_back({std::string(recipient), status, std::string(text), helpCode, std::nullopt});
}

void SendResults::setLastReturnCode(std::int32_t returnCode)
{
    if (!m_rows.empty()) {
        m_rows.back().returnCode = returnCode;
    }
}
