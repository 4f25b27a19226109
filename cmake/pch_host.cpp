// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles the precompiled header that the libraries of one family share; it holds no code of its own.
