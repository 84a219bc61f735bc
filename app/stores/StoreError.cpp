#include "stores/StoreError.h"

namespace {

thread_local StoreErrorCode t_code = StoreErrorCode::None;
thread_local std::string t_text;

} // namespace

bool StoreError::set(StoreErrorCode code, std::string text)
{
    t_code = code;
    t_text = std::move(text);
    return false;
}

void StoreError::reset()
{
    t_code = StoreErrorCode::None;
    t_text.clear();
}

StoreErrorCode StoreError::code()
{
    return t_code;
}

const std::string& StoreError::text()
{
    return t_text;
}
