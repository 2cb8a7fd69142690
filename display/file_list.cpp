#include "display/file_list.h"

#include <string.h>

// The names after the folder, or an empty one for a list of one path.
static const char *FirstName(const char *list)
{
    return list + strlen(list) + 1;
}

unsigned CountListedFiles(const char *list)
{
    unsigned count = 0;
    for (const char *name = FirstName(list); *name; name += strlen(name) + 1)
        count++;
    return list[0] && count == 0 ? 1 : count;
}

static bool Join(char *path, unsigned size, const char *folder, const char *name)
{
    size_t length = strlen(folder);
    bool separator = length > 0 && folder[length - 1] != '\\';
    if (length + separator + strlen(name) >= size)
        return false;
    memcpy(path, folder, length);
    if (separator)
        path[length++] = '\\';
    strcpy(path + length, name);
    return true;
}

bool ListedFilePath(const char *list, unsigned index, char *path, unsigned size)
{
    const char *name = FirstName(list);
    if (!*name)
        return index == 0 && list[0] && Join(path, size, "", list);
    for (; index > 0 && *name; index--)
        name += strlen(name) + 1;
    return *name && Join(path, size, list, name);
}
