#pragma once

class QTextDocument;

namespace corvane {

// Applies the message-box tag markup to a document: <FONT=name>, <SIZE=pt>,
// <COLOR=n or &Hhex>, <ALIGN=LEFT|RIGHT|CENTER>, then <B>, <U>, <I>,
// <STRIKE>, <BULLET>, each kind closed by its own "</...>" tag. Tags are
// removed and the enclosed text takes the formatting; at most 101 tags of one
// kind are taken. Tags of one kind do not nest; kinds nest freely.
// The first malformed tag (no closing tag, no ">", a value that is no
// number) ends the markup where it stands: the function then returns false.
bool ApplyMsgBoxMarkup(QTextDocument* document);

}  // namespace corvane
