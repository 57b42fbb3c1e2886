#ifndef COMMANDROAD_H
#define COMMANDROAD_H

class Event;
class ObjectStream;

// One play command on its way into the history: the log's stream, the hand
// edits written before the command's first event, then its events, until
// the first record the log refuses, whoever built it.
class CommandRoad
{
public:
    CommandRoad();

    // False without a log, and once the log refused a record since the
    // command began: the command does nothing more.
    bool isOpen() const;
    // Records the pending hand edits, once; false when the road is closed.
    bool writeEdits();
    // The stream to build the next event on; the pending hand edits are
    // recorded first.
    ObjectStream* getStream();
    // Hands the event to the history. False when the log refused it (the
    // history deleted it and told the user); the command stops there.
    bool apply(Event* event);

private:
    ObjectStream* stream;
    int refusals;
    bool editsWritten = false;
};

#endif
