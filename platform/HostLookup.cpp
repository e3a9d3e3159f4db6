// This machine's own address lookup (filled in with the identification code).
