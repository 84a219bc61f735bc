#pragma once

#include "addressing/AddressType.h"
#include "plugin/ControlLoader.h"

#include <memory>
#include <string>

class PagingDriver;

// The driver controls of one send: the IXO/TAP driver for Ixo addresses and the SNPP driver
// for Snpp ones, each created at its first need and kept for every later group of its type,
// all destroyed together at the end of the send. Other types have no driver.
class SendDrivers
{
public:
    // Drivers created with the host's wishes (progress window, owner, cancel callback).
    explicit SendDrivers(ControlOptions options);
    // Destroys the drivers that were created.
    ~SendDrivers();
    SendDrivers(const SendDrivers&) = delete;
    SendDrivers& operator=(const SendDrivers&) = delete;

    // The driver for the type, created on first use; null when the type has no driver or its
    // creation failed (then, and on every later call for the type, `errorText` says why:
    // "Driver not found", or the creation's error).
    PagingDriver* driverFor(AddressType type, std::string& errorText);
    // Destroys the drivers that were created.
    void destroyAll();

private:
    struct Slot;
    Slot* slotFor(AddressType type);

    ControlOptions m_options;
    std::unique_ptr<Slot> m_ixo;
    std::unique_ptr<Slot> m_snpp;
};
