namespace dravia {}
