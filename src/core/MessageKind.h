#pragma once

// The kinds of message box the program shows.
enum class MessageKind {
    Error,       // critical icon, OK
    Warning,     // warning icon, OK
    Information, // information icon, OK
    Question,    // Yes/No, Yes the default button; the answer is true for Yes
    // Yes/No with No the default: a question whose Yes ends something (Enter alone must not).
    QuestionDefaultNo,
};
