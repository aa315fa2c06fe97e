// The display library is built from the files beside this one.
