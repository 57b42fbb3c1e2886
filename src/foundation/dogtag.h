#ifndef DOGTAG_H
#define DOGTAG_H

// Registers its own address with the owner's header and line so that
// objects never freed are reported at shut-down. A tag frees the
// registration it made.
class DogTag
{
public:
    DogTag() = default;
    // Convenience for members: DogTag dogTag{__LINE__, __FILE__};
    DogTag(int line, const char* file) { init(this, line, file); }
    DogTag(const DogTag&) = delete;
    DogTag& operator=(const DogTag&) = delete;
    ~DogTag();

    void init(void* address, int line, const char* file);

    // Reports every entry left as "Not free" and empties the table.
    static void shutdown();
    // Entries in use; for tests and diagnostics.
    static int count();

    // A tag whose address equals this is announced when destroyed.
    static void* watchPoint;

private:
    void* address = nullptr;
    // Where the table holds it, and in which of its lives.
    int slot = -1;
    int generation = -1;
};

#endif
