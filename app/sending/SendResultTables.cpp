#include "sending/SendResultTables.h"

#include "text/StringTable.h"

int SendResultTables::sendErrorMessageId(std::int32_t returnCode)
{
    switch (returnCode) {
    case 0:
    case 201:
    case 207:
    case 209:
    case 210:
    case 217:
        return 0;
    case 1:
        return StringId::CannotInitModule;
    case 200:
        return StringId::PortWriteFailed;
    case 202:
        return StringId::PortReadFailed;
    case 203:
        return StringId::RemoteTimedOut;
    case 204:
        return StringId::AsyncIoError;
    case 205:
        return StringId::LoginFailed;
    case 206:
        return StringId::RemoteBusy;
    case 208:
        return StringId::TerminalNotReady;
    case 211:
        return StringId::LoginTooManyAttempts;
    case 212:
        return StringId::TerminalNotResponding;
    case 213:
        return StringId::UserAborted;
    case 214:
    case 215:
        return StringId::LineInUse;
    case 216:
        return StringId::LineError;
    case 221:
        return StringId::DriverNotAvailable;
    case 222:
        return StringId::CannotConnect;
    default:
        return StringId::UnknownReturnCode;
    }
}

MessageOutcome SendResultTables::messageOutcome(std::int32_t resultCode)
{
    const auto outcome = [](int id, ResultStatus status) {
        return MessageOutcome {id, std::string(StringTable::text(id)), status};
    };
    switch (resultCode) {
    case 0:
        return outcome(StringId::DeletedBeforeTransmission, ResultStatus::ResultDeleted);
    case 1:
        return outcome(StringId::SentSuccessfully, ResultStatus::ResultSent);
    case 2:
        return outcome(StringId::LostInternalError, ResultStatus::ResultNotDeliverable);
    case 3:
        return outcome(StringId::RejectedByServer, ResultStatus::ResultRejected);
    case 4:
        return outcome(StringId::TooManyAttempts, ResultStatus::ResultRejected);
    case 5:
        return outcome(StringId::NotProcessed, ResultStatus::ResultFailed);
    case 6:
        return outcome(StringId::TransmissionAborted, ResultStatus::ResultFailed);
    default:
        return MessageOutcome {
            StringId::UnknownInternalError,
            StringTable::format(StringId::UnknownInternalError, {std::to_string(resultCode)}),
            ResultStatus::ResultFailed};
    }
}
