#pragma once

#include <string>
#include <vector>

// How the simulated terminal answers a login (ESC "PG1" CR).
enum class TapLoginAnswer {
    Ack, // ACK CR, then the go-ahead as the script says
    Nak, // NAK CR: login refused
    EscAlone, // ESC and nothing more (the start of an ESC EOT that never completes)
    Silence, // nothing at all
    ForcedDisconnect, // ESC EOT, then the terminal hangs up
};

// How the simulated terminal answers a block whose checksum is right.
enum class TapBlockAnswer {
    Ack, // ACK CR: accepted
    Nak, // NAK CR: send it again
    Rs, // RS CR: rejected
    Silence, // no answer
    ForcedDisconnect, // ESC EOT, then the terminal hangs up
    HangUp, // the terminal hangs up without a word
};

// Text a terminal keeps sending before it answers: `text`, `repeats` times, each piece
// `gapMs` after the one before.
struct TapChatter
{
    std::string text;
    int repeats = 0;
    int gapMs = 0;
};

// What the simulated paging terminal does, step by step. The defaults make a well-behaved
// terminal: "ID=" at once, login accepted, go-ahead, every block acknowledged.
struct TapTerminalScript
{
    // "ID=" is sent after this many carriage returns have arrived (0: as soon as the session
    // starts); negative: never.
    int promptAfterCr = 0;
    // The prompt, sent piece by piece with `pieceDelayMs` between pieces.
    std::vector<std::string> promptPieces {"ID="};
    int pieceDelayMs = 0;
    // Sent just ahead of the prompt, e.g. "\r" (a line end that comes before "ID=").
    std::string beforePrompt;

    TapLoginAnswer loginAnswer = TapLoginAnswer::Ack;
    // Sent before the login answer.
    TapChatter loginChatter;
    // Pause before the login answer.
    int loginDelayMs = 0;
    // Sent after the login ACK and before the go-ahead, e.g. a banner holding a "p".
    std::string beforeGoAhead;
    // Whether the go-ahead ESC "[p" CR follows the login ACK.
    bool goAhead = true;
    // Sent in place of the go-ahead when not empty, e.g. a malformed one; then the terminal
    // waits `afterGoAheadMs` and sends the go-ahead if `goAhead` says so.
    std::string goAheadReplacement;
    int afterGoAheadMs = 0;
    // Whether the terminal hangs up after the caller's EOT (as real terminals do).
    bool hangUpAfterEot = false;

    // The answers to the blocks with a good checksum in the order they arrive (a resent
    // block is a new arrival); once the list is used up, `laterAnswers`. A block with a
    // bad checksum is answered NAK without using up an entry.
    std::vector<TapBlockAnswer> blockAnswers;
    TapBlockAnswer laterAnswers = TapBlockAnswer::Ack;
    // Pause before each block answer.
    int answerDelayMs = 0;
    // Sent ahead of each block answer (a terminal's optional message), e.g. "211 ok\r".
    std::string beforeAnswer;
    // Sent before each block answer, ahead of `beforeAnswer`.
    TapChatter answerChatter;
};

// One block as the terminal received it.
struct TapReceivedBlock
{
    std::string raw; // STX through the closing CR
    bool checksumOk = false;
    bool continuation = false; // goes on with an earlier block's text (no pager identifier)
    bool continues = false; // ends with US: its text goes on in the next block
    std::string pagerId; // empty in a continuation block
    std::string text; // the block's text with SUB escapes undone
    TapBlockAnswer answer = TapBlockAnswer::Silence; // what the terminal answered
};

// One message the terminal accepted: its last block was acknowledged.
struct TapReceivedMessage
{
    std::string pagerId;
    std::string text; // with SUB escapes undone, joined over its blocks
    int blocks = 0;
};
