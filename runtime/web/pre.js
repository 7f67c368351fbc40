// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The labels are drawn in the site's own face, so the game starts once it has loaded (it was
// asked for with the page, beside the program).
Module['preRun'] = [() => {
  addRunDependency('label font');
  const loaded = () => removeRunDependency('label font');
  document.fonts.load('19px "Liberation Serif"').then(loaded, loaded);
}];

// Kept for offline play once the page has loaded, so the first visit's own files come first.
if ('serviceWorker' in navigator) {
  addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
}
