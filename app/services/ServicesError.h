#pragma once

// What the last failed action of the background services (DeskServices) ran into.
enum class ServicesError {
    None, // no action has failed yet
    ProvidersUnavailable, // the provider database cannot be opened or was declined
    BookUnavailable, // the address book the settings name cannot be opened
    GatewayStartFailed, // the system refused the SNPP gateway thread
    SchedulerStartFailed, // the system refused the scheduler thread
    StopTimedOut, // a thread still ran when the stop's bound was reached
};
