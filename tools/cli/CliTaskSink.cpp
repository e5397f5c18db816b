#include "CliTaskSink.h"

#include "core/modbus/SerialCommPort.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/CommSettings.h"
#include "languages/StringIds.h"

#include <ostream>

extern "C" const char* DllLengGetTexto(int id);

std::string DescribeLine(uint16_t baudIndex, uint16_t parityIndex) {
    static const char kLetters[] = {'N', 'E', 'O'};
    return std::to_string(BaudFromIndex(static_cast<int16_t>(baudIndex))) + " baud, parity " +
           (parityIndex < 3 ? kLetters[parityIndex] : '?');
}

CCliTaskSink::CCliTaskSink(CTQControllerModel& m, const CommSettings& s, std::ostream& e,
                           bool isTerminal)
    : model(m), settings(s), err(e), terminal(isTerminal) {}

void CCliTaskSink::PostStatus(int stringId, uint32_t foundWord) {
    std::lock_guard<std::mutex> hold(lock);
    lastStatus = stringId;
    lastWord = foundWord;
    if (stringId != IDS_TASK_SEARCHING)
        return;
    // A log (not a terminal) gets a whole line now and then instead of a redrawn one.
    const auto now = std::chrono::steady_clock::now();
    if (!terminal && lastLogLine && now - *lastLogLine < kLogLineInterval)
        return;
    std::string where =
        settings.interface == kInterfaceSerial
            ? DescribeLine(BusWordBaudIndex(foundWord), BusWordParityIndex(foundWord))
            : settings.ip + ":" + std::to_string(settings.ipPort);
    const std::string text = "searching: address " + std::to_string(BusWordAddress(foundWord)) +
                             ", " + where + " (" + std::to_string(progress) + " probed)";
    if (terminal) {
        err << "\r" << text << "   " << std::flush;
        lineDrawn = true;
    } else {
        err << text << "\n" << std::flush;
        lastLogLine = now;
    }
}

void CCliTaskSink::PostProgress(int position) {
    std::lock_guard<std::mutex> hold(lock);
    progress = position;
}

void CCliTaskSink::SendFamilyCommand(int command) {
    // The worker waits here, so the model has its new count before it reads on.
    model.SetFamily(nullptr, command == kCmdFamilyTQ100 ? TQ100 : TQ102_TQ402);
}

BoxAnswer CCliTaskSink::AskAbortRetryIgnore(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock);
    lastQuestion = text;
    return BoxAnswer::Abort;
}

std::string CCliTaskSink::LoadText(int stringId) {
    // No language library here: the few texts a read or scan can ask for, in English.
    switch (stringId) {
    case IDS_TASK_SEARCHING:
        return "Searching";
    case IDS_TASK_FOUND:
        return "Controller found";
    case IDS_TASK_NO_ANSWER:
        return "No controller answered";
    case IDS_MSG_PORT_NOT_OPEN:
        return "The port cannot be used";
    case IDS_TASK_READING:
        return "Reading";
    case IDS_TASK_READ_DONE:
        return "Read";
    default: {
        // The English table built into the command line: parameter names, write questions.
        const char* text = DllLengGetTexto(stringId);
        return text ? text : "Text Error";
    }
    }
}

std::string CCliTaskSink::LastQuestion() const {
    std::lock_guard<std::mutex> hold(lock);
    return lastQuestion;
}

int CCliTaskSink::LastStatus() const {
    std::lock_guard<std::mutex> hold(lock);
    return lastStatus;
}

uint32_t CCliTaskSink::LastWord() const {
    std::lock_guard<std::mutex> hold(lock);
    return lastWord;
}

void CCliTaskSink::FinishProgressLine() {
    std::lock_guard<std::mutex> hold(lock);
    if (lineDrawn)
        err << "\r" << std::string(72, ' ') << "\r" << std::flush;
    lineDrawn = false;
}
