#include "sending/SendDrivers.h"

#include "sending/CKestrel.h"
#include "sending/CPlover.h"

#include <cstdio>
#include <utility>

// One driver of the send: made at most once, so that a control that failed to come up is
// not tried again for every group of its type.
struct SendDrivers::Slot
{
    std::unique_ptr<PagingDriver> driver;
    bool tried = false;
    std::string error;
};

SendDrivers::SendDrivers(ControlOptions options)
    : m_options(std::move(options))
    , m_ixo(std::make_unique<Slot>())
    , m_snpp(std::make_unique<Slot>())
{ }

SendDrivers::~SendDrivers()
{
    destroyAll();
}

SendDrivers::Slot* SendDrivers::slotFor(AddressType type)
{
    switch (type) {
    case AddressType::Ixo:
        return m_ixo.get();
    case AddressType::Snpp:
        return m_snpp.get();
    default:
        return nullptr;
    }
}

PagingDriver* SendDrivers::driverFor(AddressType type, std::string& errorText)
{
    Slot* slot = slotFor(type);
    if (slot == nullptr) {
        errorText = "Driver not found";
        return nullptr;
    }
    if (!slot->tried) {
        slot->tried = true;
        std::unique_ptr<PagingDriver> driver;
        if (type == AddressType::Ixo) {
            driver = std::make_unique<CKestrel>();
        } else {
            driver = std::make_unique<CPlover>();
        }
        ControlLoader loader;
        if (driver->create(loader, m_options)) {
            slot->driver = std::move(driver);
        } else if (!loader.lastErrorText().empty()) {
            // Not cut: the loader names the class and the file first and the reason last.
            slot->error = loader.lastErrorText();
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "Cannot create driver object(erc=%d)",
                          static_cast<int>(loader.lastError()));
            slot->error = text;
        }
    }
    if (!slot->driver) {
        errorText = slot->error;
        return nullptr;
    }
    return slot->driver.get();
}

void SendDrivers::destroyAll()
{
    for (Slot* slot : {m_ixo.get(), m_snpp.get()}) {
        if (slot->driver) {
            slot->driver->destroy();
            slot->driver.reset();
        }
    }
}
