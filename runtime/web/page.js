// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The page's side of the web host: the few things the C++ host cannot reach through emscripten's
// html5 API. Each function is declared in page.h; the game's rules never come here.
mergeInto(LibraryManager.library, {
  $dwPage: {
    ctx: null,
    shown: false,
    byId: (id) => document.getElementById(id),
  },

  dw_page_open__deps: ['$dwPage'],
  dw_page_open: function (title) {
    document.title = UTF8ToString(title);
    dwPage.ctx = dwPage.byId('scene').getContext('2d', { alpha: false });
    // A finger or a pen lifted anywhere in the game's room throws, as a release of Space does:
    // on the scene, or beside it where a thumb rests. Two fingers down together are a pinch,
    // not a tap. A mouse click does nothing, and the mouse events a browser sends after a tap
    // are not pointer events.
    const room = dwPage.byId('client');
    const touching = new Set();
    let pinch = false;
    const finger = (e) => e.pointerType === 'touch' || e.pointerType === 'pen';
    room.addEventListener('pointerdown', (e) => {
      if (!finger(e)) return;
      touching.add(e.pointerId);
      pinch = pinch || touching.size > 1;
    });
    const lifted = (e, tap) => {
      if (!touching.delete(e.pointerId)) return;
      if (tap && !pinch) _dw_tapped();
      if (!touching.size) pinch = false;
    };
    room.addEventListener('pointerup', (e) => lifted(e, true));
    room.addEventListener('pointercancel', (e) => lifted(e, false));
    // A finger held still would open the page's menu.
    room.addEventListener('contextmenu', (e) => e.preventDefault());
    // The room changes with the window, and without it when a notch or a rounded corner moves
    // to another edge of the screen.
    new ResizeObserver(() => _dw_relayout()).observe(room);
    // A page moved to a screen of another density gets no resize event.
    const watchRatio = () => {
      matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
        _dw_relayout();
        watchRatio();
      }, { once: true });
    };
    watchRatio();
    dwPage.byId('new-game').addEventListener('click', () => location.reload());
  },

  dw_menu_add__deps: ['$dwPage'],
  dw_menu_add: function (index, caption) {
    const item = document.createElement('button');
    item.type = 'button';
    item.textContent = UTF8ToString(caption);
    item.setAttribute('role', 'menuitem');
    // The game keeps the keyboard: a focused item would take the next Space for itself.
    item.tabIndex = -1;
    item.addEventListener('mousedown', (e) => e.preventDefault());
    item.addEventListener('click', () => _dw_menu_chosen(index));
    dwPage.byId('menubar').append(item);
  },

  dw_menu_clear__deps: ['$dwPage'],
  dw_menu_clear: function () {
    dwPage.byId('menubar').replaceChildren();
  },

  dw_client_rect__deps: ['$dwPage'],
  dw_client_rect: function (left, top, width, height) {
    const r = dwPage.byId('client').getBoundingClientRect();
    HEAPF64[left >> 3] = r.left;
    HEAPF64[top >> 3] = r.top;
    HEAPF64[width >> 3] = r.width;
    HEAPF64[height >> 3] = r.height;
  },

  dw_scene_place__deps: ['$dwPage'],
  dw_scene_place: function (x, y, deviceWidth, deviceHeight, ratio) {
    const canvas = dwPage.byId('scene');
    const room = dwPage.byId('client').getBoundingClientRect();
    canvas.width = deviceWidth;
    canvas.height = deviceHeight;
    canvas.style.width = `${deviceWidth / ratio}px`;
    canvas.style.height = `${deviceHeight / ratio}px`;
    canvas.style.left = `${x / ratio - room.left}px`;
    canvas.style.top = `${y / ratio - room.top}px`;
    // Hidden until it has its place, so that nothing on the page moves once it has shown.
    canvas.style.visibility = 'visible';
  },

  dw_scene_blit__deps: ['$dwPage'],
  dw_scene_blit: function (rgba, x, y, w, h) {
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4);
    dwPage.ctx.putImageData(new ImageData(pixels, w, h), x, y);
    // When the page first shows the scene, for anyone who times it: the frame that shows it.
    if (!dwPage.shown) {
      dwPage.shown = true;
      requestAnimationFrame(() => performance.mark('scene shown'));
    }
  },

  dw_scene_text__deps: ['$dwPage'],
  dw_scene_text: function (text, left, top, width, pixels, align, rgb, factor,
                           clipX, clipY, clipW, clipH) {
    const ctx = dwPage.ctx;
    const caption = UTF8ToString(text);
    ctx.save();
    ctx.beginPath();
    ctx.rect(clipX, clipY, clipW, clipH);
    ctx.clip();
    ctx.setTransform(factor, 0, 0, factor, 0, 0);
    ctx.font = `${pixels}px "Liberation Serif"`;
    ctx.fillStyle = `#${rgb.toString(16).padStart(6, '0')}`;
    ctx.textAlign = ['left', 'right', 'center'][align];
    ctx.textBaseline = 'alphabetic';
    // The desktop puts the baseline a whole number of window pixels below the label's top.
    const ascent = Math.round(ctx.measureText(caption).fontBoundingBoxAscent);
    ctx.fillText(caption, [left, left + width, left + width / 2][align], top + ascent);
    ctx.restore();
  },

  dw_caption__deps: ['$dwPage'],
  dw_caption: function (index, text) {
    const region = dwPage.byId('captions');
    while (region.children.length <= index) region.append(document.createElement('p'));
    region.children[index].textContent = UTF8ToString(text);
  },

  dw_box_show__deps: ['$dwPage'],
  dw_box_show: function (text, yesNo, title, armingMs) {
    const box = dwPage.byId('box');
    dwPage.byId('box-title').textContent = UTF8ToString(title);
    // The game's texts break their lines with a carriage return alone.
    dwPage.byId('box-text').textContent = UTF8ToString(text).replace(/\r/g, '\n');
    const choices = yesNo ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
    const escape = choices[choices.length - 1][1];
    return Asyncify.handleAsync(() => new Promise((resolve) => {
      let armed = false;
      let answered = false;
      const buttons = choices.map(([caption, answer]) => {
        const b = document.createElement('button');
        b.type = 'button';
        b.textContent = caption;
        b.disabled = true;
        b.addEventListener('click', () => finish(answer));
        return b;
      });
      dwPage.byId('box-buttons').replaceChildren(...buttons);
      const hold = (e) => {
        if (!armed) e.preventDefault();
      };
      const cancel = (e) => {
        e.preventDefault();
        if (armed) finish(escape);
      };
      // The browser may close a box on Escape even when told not to; before it has armed, the
      // box comes back.
      const closed = () => {
        if (!answered) {
          if (armed) finish(escape);
          else box.showModal();
        }
      };
      const finish = (answer) => {
        if (answered || !armed) return;
        answered = true;
        box.removeEventListener('keydown', hold, true);
        box.removeEventListener('cancel', cancel);
        box.removeEventListener('close', closed);
        if (box.open) box.close();
        resolve(answer);
      };
      box.addEventListener('keydown', hold, true);
      box.addEventListener('cancel', cancel);
      box.addEventListener('close', closed);
      box.showModal();
      setTimeout(() => {
        armed = true;
        for (const b of buttons) b.disabled = false;
        buttons[0].focus();
      }, armingMs);
    }));
  },

  dw_page_ended__deps: ['$dwPage'],
  dw_page_ended: function (report) {
    const text = UTF8ToString(report);
    dwPage.byId('ended-text').textContent =
      text === '' ? 'The game has ended.' : 'The game stopped on an error:';
    dwPage.byId('ended-report').textContent = text;
    dwPage.byId('ended-report').hidden = text === '';
    // Not focused: a Space still held for the game would start the next one.
    document.documentElement.dataset.state = 'ended';
  },

  dw_toggle_full_screen: function () {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  },
});
