#ifndef COMMANDROAD_H
#define COMMANDROAD_H

class Event;
class ObjectStream;

// One play command on its way into the history: the log's stream, the hand
// edits written before the command's first event, then its events, until
// the first one the log refuses.
class CommandRoad
{
public:
    CommandRoad();

    // False without a log: the command does nothing at all.
    bool isOpen() const { return stream && !refused; }
    // The stream to build the next event on; the pending hand edits are
    // recorded first, once.
    ObjectStream* getStream();
    // Hands the event to the history. False when the log refused it (the
    // history deleted it and told the user); the command stops there.
    bool apply(Event* event);

private:
    ObjectStream* stream;
    bool editsWritten = false;
    bool refused = false;
};

#endif
