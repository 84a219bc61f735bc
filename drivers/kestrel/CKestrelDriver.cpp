#include "kestrel/CKestrelDriver.h"

#include "frame/FrameText.h"
#include "frame/StepEngine.h"
#include "log/LogLevel.h"
#include "telephony/Telephony.h"

namespace {

constexpr int codeNoLine = 7;
constexpr int codeBusy = 206;
constexpr int codeLineInUse = 214;
constexpr int codeCallUnavailable = 215;
constexpr int codeOtherTelephony = 216;
constexpr int codeNoConnection = 222;
constexpr int codeWriteFailed = 200;
constexpr int codeReadFailed = 202;

// The link of a connected call whose port could not be obtained: every write and read fails
// as it would on a port that is not there.
class MissingLink final : public ByteLink
{
public:
    bool write(const void*, std::size_t) override
    {
        m_lastError = codeWriteFailed;
        return false;
    }
    bool read(char* buffer, std::size_t& length, std::string_view, int) override
    {
        if (length > 0) {
            buffer[0] = '\0';
        }
        length = 0;
        m_lastError = codeReadFailed;
        return false;
    }
    int lastError() const override { return m_lastError; }

private:
    int m_lastError = 0;
};

} // namespace

CKestrelDriver::CKestrelDriver(std::unique_ptr<LineSource> lines, EngineFactory engines)
    : m_lines(std::move(lines))
    , m_engines(std::move(engines))
    , m_devices {Telephony::lineMapper}
    , m_frame(frameConfig(), *this)
{ }

CKestrelDriver::~CKestrelDriver() = default;

FrameConfig CKestrelDriver::frameConfig()
{
    FrameConfig config;
    config.tag = "kestrel";
    config.timings = FrameTimings {};
    return config;
}

int CKestrelDriver::send(const SendArgs& args, MessageList& messages)
{
    if (!m_frame.isBusy()) {
        // A busy frame refuses the send; a let-go protocol thread may still read these.
        if (!args.devices.empty()) {
            m_devices = args.devices;
        }
        m_tapSettings = args.tap;
    }
    SendRequest request;
    // The telephony layer has no module instance to report; the line is registered with 0.
    request.instance = 0;
    request.clientName = args.clientName;
    request.providerName = args.providerName;
    request.address = args.number;
    request.timings = args.timings;
    request.viewFactory = args.viewFactory;
    request.parentWindow = args.parentWindow;
    request.keepAlive = weak_from_this().lock();
    return m_frame.send(request, messages);
}

void CKestrelDriver::runProtocol(SendFrame& frame)
{
    frame.setRightAnimation(RightAnimation::Connecting);
    frame.setPhase(1);
    frame.setStatus("Dialing " + frame.address());
    m_connected = false;

    for (std::size_t index = 0; index < m_devices.size(); ++index) {
        if (index > 0) {
            frame.logLine(LogLevel::Debug4,
                          FrameText::fill("Trying dev %d [devNo=%d]", static_cast<long long>(index),
                                          static_cast<std::int32_t>(m_devices[index])));
        }
        frame.logLine(LogLevel::Debug3, "Thread starts dialing");
        if (dial(index)) {
            frame.logLine(LogLevel::Debug3, "Thread dial successful");
            (void)frame.waitForCallEvent();
            break;
        }
        frame.logLine(LogLevel::Errors, "Thread dial failed");
        if (frame.lastError() != codeNoLine) {
            frame.logLine(LogLevel::Errors,
                          FrameText::fill("LocalThread dial failed code=%d", frame.lastError()));
            break;
        }
        if (index + 1 == m_devices.size()) {
            frame.setStatus("No free lines");
        }
    }

    LineDevice* line = nullptr;
    {
        const std::lock_guard<std::mutex> guard(m_lineMutex);
        line = m_line.get();
    }
    if (m_connected && line != nullptr && !frame.cancelRequested()) {
        runExchange(*line);
        return;
    }
    frame.setCancelEnabled(false);
    hangUp();
    frame.pauseForReading();
    if (frame.lastError() == 0) {
        frame.setLastError(codeNoConnection);
    }
}

bool CKestrelDriver::dial(std::size_t index)
{
    if (m_frame.cancelRequested()) {
        // Cancel came between two devices: nothing more is dialled.
        return false;
    }
    std::unique_ptr<LineDevice> line
        = m_lines->open(m_devices[index], m_frame.log(), m_frame.tag());
    if (!line) {
        const int code = m_lines->lastError();
        m_frame.setLastError(code != 0 ? code : codeNoLine);
        return false;
    }
    const std::string number = m_lines->translate(m_frame.address());
    LineDevice* dialling = nullptr;
    {
        const std::lock_guard<std::mutex> guard(m_lineMutex);
        m_line = std::move(line);
        m_dialling = true;
        dialling = m_line.get();
    }
    const bool accepted = dialling->dial(number, *this);
    const std::lock_guard<std::mutex> guard(m_lineMutex);
    m_dialling = false;
    if (!accepted) {
        const int code = m_line->lastError();
        m_frame.setLastError(code != 0 ? code : codeNoLine);
        m_line->hangUp();
        m_line.reset();
        return false;
    }
    if (m_frame.cancelRequested()) {
        // Cancel came while the call was being requested and left the hang-up to this thread.
        m_line->hangUp();
    }
    return true;
}

void CKestrelDriver::runExchange(LineDevice& line)
{
    m_frame.setRightAnimation(RightAnimation::Connected);
    line.configurePort();
    m_frame.logLine(LogLevel::Debug3, "Thread starts FSM");
    MissingLink missing;
    ByteLink* link = line.link();
    std::unique_ptr<StepEngine> engine
        = m_engines(link != nullptr ? *link : missing, m_frame.messages(), m_frame, m_tapSettings);
    m_frame.runEngine(*engine);
    m_frame.logLine(LogLevel::Debug3, "Thread FSM retuens");
    line.restorePort();
    m_frame.setRightAnimation(RightAnimation::Stopped);
    hangUp();
}

void CKestrelDriver::hangUp()
{
    const std::lock_guard<std::mutex> guard(m_lineMutex);
    if (m_line) {
        m_line->hangUp();
        m_line.reset();
    }
}

void CKestrelDriver::cancelProtocol()
{
    // Hanging up makes a pending read or write fail at once. A call still being requested
    // is hung up by the protocol thread as soon as the request returns.
    const std::lock_guard<std::mutex> guard(m_lineMutex);
    if (m_line && !m_dialling) {
        m_line->hangUp();
    }
}

void CKestrelDriver::interruptProtocol()
{
    cancelProtocol();
}

void CKestrelDriver::callEvent(CallEvent event, int detail)
{
    if (m_frame.cancelRequested()) {
        // After Cancel the call is being dropped on purpose: what it reports now is noise.
        m_frame.signalCallEvent();
        return;
    }
    switch (event) {
    case CallEvent::Busy:
        m_frame.logLine(LogLevel::Debug4, "LINECALLSTATE Busy");
        m_frame.setLastError(codeBusy);
        m_frame.setStatus("Remote modem busy");
        break;
    case CallEvent::Connected:
        m_frame.logLine(LogLevel::Debug4, "LINECALLSTATE Connected");
        m_connected = true;
        break;
    case CallEvent::Disconnected:
        m_frame.logLine(LogLevel::Debug4, "LINECALLSTATE Disconnected");
        m_frame.setStatus("Line disconnected");
        break;
    case CallEvent::LineInUse:
        m_frame.logLine(LogLevel::Debug4, "LINEERR Being used");
        m_frame.setLastError(codeLineInUse);
        m_frame.setStatus("Line is being used");
        break;
    case CallEvent::CallUnavailable:
        m_frame.logLine(LogLevel::Errors, "LINERR Call unavailable");
        m_frame.setLastError(codeCallUnavailable);
        m_frame.setStatus("Call unavailable");
        break;
    case CallEvent::OtherError:
        m_frame.logLine(LogLevel::Errors, FrameText::fill("LINERR Unknown %d", detail));
        m_frame.setLastError(codeOtherTelephony);
        m_frame.setStatus(FrameText::fill("Internal Error (LINERR=%d)", detail));
        break;
    }
    m_frame.signalCallEvent();
}
