namespace tarvik { void AppPlaceholder() {} }
