int dimoraGuiPlaceholder() { return 0; }
