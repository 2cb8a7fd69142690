// The files that the Open dialog gives when it takes several at once: the
// folder and then each name, each ended by a zero byte, and one more after
// the last; or, for one file, its full path alone.
#ifndef TACTIVIEW_FILE_LIST_H
#define TACTIVIEW_FILE_LIST_H

// How many files the list names.
unsigned CountListedFiles(const char *list);

// Writes the full path of the list's file `index`, from 0, into path, which
// holds size characters, and returns true; false when the list names fewer
// files or the path does not fit.
bool ListedFilePath(const char *list, unsigned index, char *path, unsigned size);

#endif
