#ifndef BULKRELEASE_H
#define BULKRELEASE_H

// While one lives, every block freed is merged with its free neighbours at
// once. The C library otherwise sets small blocks aside for reuse and merges
// them in batches later: after a long fight's hundreds of thousands of small
// frees, that second pass cost as much as the frees themselves. For freeing a
// great many objects together; on one thread, one at a time.
class BulkRelease
{
public:
    BulkRelease();
    ~BulkRelease();
    BulkRelease(const BulkRelease&) = delete;
    BulkRelease& operator=(const BulkRelease&) = delete;
};

#endif
