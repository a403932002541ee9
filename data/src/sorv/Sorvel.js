/*
 * Sorvel album player.
 *
 * Sorvel.xml carries the album as data: the layout values in #sorvel-layout and
 * one .sorvel-photo element per photo, every value as the text of a
 * [data-field] element. This script reads them from its own document (no
 * fetch: a page opened from disk may not read other files) and builds the
 * album in one of three arrangements:
 *   "layout"  the layout values are the design at their reference size: on a
 *             window large enough everything stands where the values say; a
 *             smaller window shows the whole design scaled down uniformly.
 *   "stacked" narrow portrait windows (phones): slide at full width, its
 *             caption, Back and Next, then the thumbnail grid, one below the
 *             other, scrolling down only.
 *   "full"    full screen: the slide alone as large as the screen allows.
 * The page may ask for "layout" only (a <meta name="sorvel-arrangement"
 * content="layout"/>, used by the album preview) and may name the album
 * (#sorvel-title); otherwise the album takes its folder's name.
 *
 * State the page exposes on <html> (read by tests and scripts):
 *   data-player       "ready" once the first view is built, "error" if the
 *                     album could not be built (data-player-error: why)
 *   data-arrangement  "layout", "stacked" or "full"; data-scale: the scale of
 *                     the layout arrangement (1 = reference size)
 *   data-slide-count  number of photos
 *   data-slide-index  0-based index of the photo shown, -1 for an empty album
 *   data-slide-state  "loading", "loaded" or "error" for the photo shown
 *   data-thumb-page   0-based thumbnail page shown, data-thumb-pages: how many
 *   data-slideshow    "playing" or "paused"
 * The location hash "#N" names the N-th photo.
 */
(() => {
  'use strict';

  const XHTML = 'http://www.w3.org/1999/xhtml';

  const DEFAULT_LAYOUT = {
    slide_x: 30, slide_y: 30, slide_p: 20, slide_a: 100,
    thumb_r: 2, thumb_c: 2, thumb_x: 750, thumb_y: 200, thumb_w: 40, thumb_h: 40,
    thumb_p: 10, thumb_s: 20, thumb_a: 70,
    bbutton_x: 700, bbutton_y: 160, nbutton_x: 880, nbutton_y: 320,
    caption_w: 400, caption_h: 27,
  };
  const DEFAULT_COLOR = '000000';
  const COLOR_FIELDS = ['slide_bg', 'slide_ln', 'thumb_bg', 'thumb_ln', 'caption_bg', 'caption_ln'];
  const POSITION_FIELDS = ['slide_x', 'slide_y', 'thumb_x', 'thumb_y',
    'bbutton_x', 'bbutton_y', 'nbutton_x', 'nbutton_y'];
  const SIZE_FIELDS = ['thumb_w', 'thumb_h', 'caption_w', 'caption_h'];
  const SPACE_FIELDS = ['slide_p', 'thumb_p', 'thumb_s'];
  const ALPHA_FIELDS = ['slide_a', 'thumb_a'];
  const COUNT_FIELDS = ['thumb_r', 'thumb_c'];

  const MAX_PIXELS = 32767;
  const MAX_GRID_SIDE = 100;
  const FRAME_BORDER = 1;
  const GAP = 10; // between the slide frame, its caption and what stands beside them
  const STAGE_MARGIN = 10; // kept free right of and below the design
  const MIN_SLIDE_ROOM = 120;
  // Room a slide gets when nothing beside or below it bounds the design.
  const OPEN_SLIDE_ROOM = { width: 640, height: 480 };
  const BUTTON_SIZE = { width: 40, height: 40 }; // until the button images are read
  const STACK_BELOW_SCALE = 0.75; // a portrait window that would shrink the design more stacks it
  const STACK_MARGIN = 10;
  const STACK_MAX_THUMB_SCALE = 2;
  const SWIPE_DISTANCE = 40;
  const SLIDESHOW_SECONDS = 4;
  const PLACEHOLDER_SIZE = { width: 400, height: 300 };

  const root = document.documentElement;

  // In a document read as XML, createElement() makes elements of no namespace,
  // which the browser does not render as HTML.
  function make(tag, attributes, parent, text) {
    const element = document.createElementNS(XHTML, tag);
    for (const [name, value] of Object.entries(attributes || {})) {
      element.setAttribute(name, value);
    }
    if (text !== undefined) element.textContent = text;
    if (parent) parent.appendChild(element);
    return element;
  }

  // ---- Reading the album ------------------------------------------------

  function fieldsOf(element) {
    const fields = {};
    for (const child of element ? element.children : []) {
      const name = child.getAttribute('data-field');
      if (name && !(name in fields)) fields[name] = child.textContent;
    }
    return fields;
  }

  function readNumber(text) {
    const value = Number.parseFloat(String(text === undefined ? '' : text).trim());
    return Number.isFinite(value) ? value : NaN;
  }

  // Whole numbers are rounded the way the program rounds: halves to even.
  function roundHalfEven(value) {
    const floor = Math.floor(value);
    const fraction = value - floor;
    if (fraction > 0.5) return floor + 1;
    if (fraction < 0.5) return floor;
    return floor % 2 === 0 ? floor : floor + 1;
  }

  function clamp(value, low, high) {
    return Math.min(high, Math.max(low, value));
  }

  function readColor(text) {
    const match = /^\s*(?:0x|#)?([0-9a-f]{6})\s*$/i.exec(text || '');
    return (match ? match[1] : DEFAULT_COLOR).toUpperCase();
  }

  // Values arrive as the user typed them, so numbers are read leniently and a
  // value that cannot be read falls back to the album's default layout.
  function readLayout(element) {
    const fields = fieldsOf(element);
    const layout = {};
    const number = (name) => readNumber(fields[name]);
    for (const name of POSITION_FIELDS.concat(SPACE_FIELDS)) {
      const value = number(name);
      layout[name] = Number.isNaN(value) ? DEFAULT_LAYOUT[name] : clamp(value, 0, MAX_PIXELS);
    }
    for (const name of SIZE_FIELDS) {
      const value = number(name);
      layout[name] = value > 0 ? Math.min(value, MAX_PIXELS) : DEFAULT_LAYOUT[name];
    }
    for (const name of ALPHA_FIELDS) {
      const value = number(name);
      layout[name] = Number.isNaN(value) ? DEFAULT_LAYOUT[name] : clamp(value, 0, 100);
    }
    for (const name of COUNT_FIELDS) {
      const value = number(name);
      layout[name] = Number.isNaN(value) ? DEFAULT_LAYOUT[name]
        : clamp(roundHalfEven(value), 1, MAX_GRID_SIDE);
    }
    for (const name of COLOR_FIELDS) layout[name] = readColor(fields[name]);
    return layout;
  }

  // File names may hold blanks, '#', '%', '&' or any letter: each path part is
  // encoded, never pasted into the URL as it stands.
  function fileUrl(path) {
    return path.split('/')
      .map((part) => (part === '' || part === '.' || part === '..') ? part : encodeURIComponent(part))
      .join('/');
  }

  // The batch window's preview names the user's own first pictures, which
  // then stand in for its sample entries, one after another.
  const previewPhotos = Array.isArray(window.sorvelPreviewPhotos) ? window.sorvelPreviewPhotos : [];

  function readPhotos() {
    const photos = [];
    for (const element of document.querySelectorAll('#sorvel-photos > .sorvel-photo')) {
      const fields = fieldsOf(element);
      const thumbSrc = fields.thumb_src || '';
      const slideSrc = fields.slide_src || thumbSrc;
      if (!slideSrc) continue;
      const name = slideSrc.slice(slideSrc.lastIndexOf('/') + 1);
      const description = fields.description || '';
      const own = previewPhotos.length ? previewPhotos[photos.length % previewPhotos.length] : null;
      if (own) {
        photos.push({
          thumbUrl: own.url, slideUrl: own.url, name: own.name, label: description.trim() ? description : own.name,
          slideWidth: own.width, slideHeight: own.height, date: fields.date || '', description,
        });
        continue;
      }
      photos.push({
        thumbUrl: fileUrl(thumbSrc || slideSrc),
        slideUrl: fileUrl(slideSrc),
        name,
        label: description.trim() ? description : name,
        slideWidth: readNumber(fields.slide_width),
        slideHeight: readNumber(fields.slide_height),
        date: fields.date || '',
        description,
      });
    }
    return photos;
  }

  // The album is named after its folder unless the page names it.
  function albumTitle() {
    const given = document.getElementById('sorvel-title');
    if (given && given.textContent.trim()) return given.textContent.trim();
    const parts = location.pathname.split('/').filter(Boolean);
    parts.pop();
    const folder = parts.pop();
    if (!folder) return 'Photo album';
    try {
      return decodeURIComponent(folder);
    } catch (error) {
      return folder;
    }
  }

  function requestedArrangement() {
    const meta = document.querySelector('meta[name="sorvel-arrangement"]');
    return meta ? meta.getAttribute('content') : '';
  }

  // ---- Colours ------------------------------------------------------------

  function rgba(hex, alphaPercent) {
    const rgb = [0, 2, 4].map((at) => Number.parseInt(hex.slice(at, at + 2), 16));
    return `rgba(${rgb.join(', ')}, ${alphaPercent / 100})`;
  }

  // Black or white, whichever reads better on the given background.
  function textColorOn(hex) {
    const linear = [0, 2, 4].map((at) => {
      const channel = Number.parseInt(hex.slice(at, at + 2), 16) / 255;
      return channel <= 0.04045 ? channel / 12.92 : ((channel + 0.055) / 1.055) ** 2.4;
    });
    const luminance = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
    return (luminance + 0.05) / 0.05 > 1.05 / (luminance + 0.05) ? '#000000' : '#FFFFFF';
  }

  // ---- The design at reference size ----------------------------------------

  function box(left, top, width, height) {
    return { left, top, width, height, right: left + width, bottom: top + height };
  }

  function overlaps(a, b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  }

  // The thumbnail grid: thumb_w x thumb_h is the picture of one thumbnail and
  // thumb_s the space between pictures; each frame is padded around its
  // picture, by no more than half the spacing so that frames never cover a
  // neighbour's picture.
  function gridGeometry(layout, count) {
    const perPage = layout.thumb_r * layout.thumb_c;
    const cells = Math.max(1, Math.min(count, perPage));
    const columns = Math.min(layout.thumb_c, cells);
    const rows = Math.ceil(cells / layout.thumb_c);
    const pad = perPage > 1 ? Math.min(layout.thumb_p, layout.thumb_s / 2) : layout.thumb_p;
    const cellWidth = layout.thumb_w + 2 * pad;
    const cellHeight = layout.thumb_h + 2 * pad;
    const gap = layout.thumb_s - 2 * pad;
    return {
      perPage, columns, rows, pad, cellWidth, cellHeight, gap,
      frame: box(layout.thumb_x - pad, layout.thumb_y - pad,
        columns * cellWidth + (columns - 1) * gap, rows * cellHeight + (rows - 1) * gap),
    };
  }

  // The page controls sit below the grid, lower still when a button stands
  // in their way.
  function pagerBox(grid, size, buttons) {
    let top = grid.bottom + GAP;
    for (let moved = true; moved;) {
      moved = false;
      const candidate = box(grid.left, top, size.width, size.height);
      for (const button of buttons) {
        if (overlaps(candidate, button)) {
          top = button.bottom + GAP;
          moved = true;
        }
      }
    }
    return box(grid.left, top, size.width, size.height);
  }

  // The parts beside the slide bound its width, the parts below it its
  // height; with nothing on a side the slide gets a room of its own there.
  function slideBounds(layout, parts) {
    const chrome = 2 * (layout.slide_p + FRAME_BORDER);
    const captionSpace = GAP + layout.caption_h;
    const least = MIN_SLIDE_ROOM + chrome;
    const beside = [];
    const below = [];
    for (const part of parts) {
      if (part.right <= layout.slide_x || part.bottom <= layout.slide_y) continue;
      const dx = part.left - GAP - layout.slide_x;
      const dy = part.top - GAP - layout.slide_y - captionSpace;
      if (dx >= least && (dx >= dy || dy < least)) beside.push(part);
      else if (dy >= least) below.push(part);
    }
    const right = beside.length ? Math.min(...beside.map((part) => part.left)) - GAP : null;
    const bottom = below.length ? Math.min(...below.map((part) => part.top)) - GAP - captionSpace : null;
    return { chrome, captionSpace, right, bottom, below };
  }

  function designOf(layout, count, buttonSizes, pagerSize) {
    const grid = gridGeometry(layout, count);
    const back = box(layout.bbutton_x, layout.bbutton_y, buttonSizes.back.width, buttonSizes.back.height);
    const next = box(layout.nbutton_x, layout.nbutton_y, buttonSizes.next.width, buttonSizes.next.height);
    const pager = pagerSize ? pagerBox(grid.frame, pagerSize, [back, next]) : null;
    const parts = [back, next, grid.frame].concat(pager ? [pager] : []);
    const bounds = slideBounds(layout, parts);
    const slideWidth = bounds.right !== null ? bounds.right - layout.slide_x
      : Math.max(OPEN_SLIDE_ROOM.width, ...bounds.below.map((part) => part.right - layout.slide_x));
    const slideHeight = bounds.bottom !== null ? bounds.bottom - layout.slide_y : OPEN_SLIDE_ROOM.height;
    const slide = box(layout.slide_x, layout.slide_y, slideWidth, slideHeight);
    const caption = box(layout.slide_x, slide.bottom + GAP, layout.caption_w, layout.caption_h);
    const everything = [slide, caption].concat(parts);
    return {
      grid, back, next, pager, slide, caption, bounds,
      width: Math.max(...everything.map((part) => part.right)) + STAGE_MARGIN,
      height: Math.max(...everything.map((part) => part.bottom)) + STAGE_MARGIN,
    };
  }

  // ---- The player ---------------------------------------------------------

  const STYLE = `
html, body { margin: 0; padding: 0; background: #FFFFFF; }
body { font: 15px/1.4 system-ui, "DejaVu Sans", sans-serif; color: #1A1A1A; }
.visually-hidden { position: absolute; width: 1px; height: 1px; margin: -1px; padding: 0;
  overflow: hidden; clip: rect(0 0 0 0); white-space: nowrap; border: 0; }
#album-header { display: flex; flex-wrap: wrap; align-items: center; gap: 6px 16px;
  padding: 8px 10px; border-bottom: 1px solid #D0D0D0; }
#album-title { margin: 0; font-size: 20px; font-weight: 600; overflow-wrap: anywhere; min-width: 0; }
#photo-counter { color: #4A4A4A; font-variant-numeric: tabular-nums; }
#toolbar { display: flex; gap: 8px; margin-left: auto; }
.tool-button, #pager button, #pager input { font: inherit; font-size: 14px; color: #1A1A1A;
  background: #F2F2F2; border: 1px solid #6E6E6E; border-radius: 4px; }
.tool-button { padding: 4px 10px; cursor: pointer; }
.tool-button[aria-pressed="true"] { background: #1A1A1A; color: #FFFFFF; }
#stage-box { position: relative; }
#stage { position: absolute; left: 0; top: 0; transform-origin: 0 0; }
#slide-figure { margin: 0; }
#slide-frame { position: absolute; box-sizing: content-box; border-style: solid;
  touch-action: pan-y pinch-zoom; }
#slide { display: block; user-select: none; -webkit-user-drag: none; }
#slide.arriving { animation: slide-arrive 0.3s ease-out; }
@keyframes slide-arrive { from { opacity: 0.2; } to { opacity: 1; } }
@media (prefers-reduced-motion: reduce) { #slide.arriving { animation: none; } }
#caption { position: absolute; box-sizing: border-box; border-style: solid; margin: 0;
  padding: 3px 6px; overflow: auto; overflow-wrap: anywhere; white-space: pre-wrap; font-size: 13px; }
#caption-date { margin-right: 0.8em; font-weight: 600; }
#caption-date:empty { display: none; }
.nav-button { position: absolute; margin: 0; padding: 0; border: 0; background: none;
  cursor: pointer; line-height: 0; }
.nav-button:disabled { opacity: 0.35; cursor: default; }
.nav-button img { display: block; }
#thumb-nav h2 { margin: 0; }
#thumbs { position: absolute; display: grid; margin: 0; padding: 0; }
#thumbs > div { display: contents; }
.thumb-cell { display: block; box-sizing: border-box; margin: 0; border-style: solid;
  cursor: pointer; font: inherit; }
.thumb-cell[aria-current] { outline: 3px solid #B35C00; outline-offset: 1px; }
.thumb { display: block; width: 100%; height: 100%; object-fit: contain;
  user-select: none; -webkit-user-drag: none; }
#pager { position: absolute; display: flex; align-items: center; gap: 4px; white-space: nowrap; }
#pager button { min-width: 30px; height: 28px; padding: 0 6px; font-size: 16px; cursor: pointer; }
#pager input { width: 3.2em; height: 28px; box-sizing: border-box; padding: 0 4px; text-align: right;
  line-height: normal; background: #FFFFFF; }
#pager button:disabled { color: #767676; cursor: default; }
:focus-visible { outline: 3px solid #0B57D0; outline-offset: 2px; box-shadow: 0 0 0 2px #FFFFFF; }

html[data-arrangement="stacked"] #stage-box, html[data-arrangement="stacked"] #stage,
html[data-arrangement="stacked"] #slide-frame, html[data-arrangement="stacked"] #caption,
html[data-arrangement="stacked"] .nav-button, html[data-arrangement="stacked"] #thumbs,
html[data-arrangement="stacked"] #pager { position: static; }
html[data-arrangement="stacked"] #stage { padding: ${STACK_MARGIN}px; }
html[data-arrangement="stacked"] #slide-frame { display: flex; justify-content: center; }
html[data-arrangement="stacked"] #caption { margin-top: ${GAP}px; font-size: 15px; }
html[data-arrangement="stacked"] #slide-nav { display: flex; justify-content: center; gap: 40px;
  margin: ${GAP}px 0; }
html[data-arrangement="stacked"] #thumbs { justify-content: center; }
html[data-arrangement="stacked"] #pager { justify-content: center; flex-wrap: wrap; margin-top: ${GAP}px; }

html[data-arrangement="full"], html[data-arrangement="full"] body { background: #000000; }
html[data-arrangement="full"] body { overflow: hidden; }
html[data-arrangement="full"] #album-header { position: fixed; top: 0; right: 0; z-index: 2;
  border: 0; background: rgba(0, 0, 0, 0.6); color: #FFFFFF; }
html[data-arrangement="full"] #album-title, html[data-arrangement="full"] #photo-counter { display: none; }
html[data-arrangement="full"] #thumb-nav { display: none; }
html[data-arrangement="full"] #stage-box { position: fixed; inset: 0; }
html[data-arrangement="full"] #caption { font-size: 16px; }
html[data-arrangement="full"] .nav-button { z-index: 1; }
html[data-arrangement="full"] :focus-visible { outline-color: #8AB4F8; box-shadow: 0 0 0 2px #000000; }
`;

  function buildAlbum(layout, photos, title, fixedArrangement) {
    const count = photos.length;
    const perPage = layout.thumb_r * layout.thumb_c;
    const pageCount = Math.max(1, Math.ceil(count / perPage));
    const buttonSizes = { back: { ...BUTTON_SIZE }, next: { ...BUTTON_SIZE } };
    let current = -1;
    let page = 0;
    let renderedPage = -1;
    let loadTicket = 0;
    let arrangement = 'layout';
    let fullView = false;
    let design = null;

    const setState = (name, value) => root.setAttribute(name, String(value));

    make('style', {}, document.head || root).textContent = STYLE;
    const body = document.body || make('body', {}, root);
    document.title = title;

    // Header: the album's name, where we are, and the tools.
    const header = make('header', { id: 'album-header' }, body);
    make('h1', { id: 'album-title' }, header, title);
    const counter = make('span', { id: 'photo-counter', 'aria-hidden': 'true' }, header);
    const status = make('p', {
      id: 'photo-status', class: 'visually-hidden', role: 'status', 'aria-live': 'polite',
    }, header);
    const toolbar = make('div', { id: 'toolbar', role: 'toolbar', 'aria-label': 'Album tools' }, header);
    const slideshowButton = make('button', {
      id: 'slideshow-button', type: 'button', class: 'tool-button', 'aria-pressed': 'false',
    }, toolbar, 'Slideshow');
    const fullscreenButton = make('button', {
      id: 'fullscreen-button', type: 'button', class: 'tool-button', 'aria-pressed': 'false',
    }, toolbar, 'Full screen');

    const main = make('main', { id: 'album', 'aria-label': 'Album' }, body);
    const stageBox = make('div', { id: 'stage-box' }, main);
    const stage = make('div', { id: 'stage' }, stageBox);

    const figure = make('figure', { id: 'slide-figure' }, stage);
    const frame = make('div', { id: 'slide-frame' }, figure);
    frame.style.borderColor = rgba(layout.slide_ln, layout.slide_a);
    const slide = make('img', { id: 'slide', alt: '', draggable: 'false' }, frame);
    if (!count) frame.hidden = true;
    const caption = make('figcaption', { id: 'caption' }, figure);
    Object.assign(caption.style, {
      borderWidth: `${FRAME_BORDER}px`,
      borderColor: `#${layout.caption_ln}`,
      backgroundColor: `#${layout.caption_bg}`,
      color: textColorOn(layout.caption_bg),
    });
    const captionDate = make('span', { id: 'caption-date' }, caption);
    const captionText = make('span', { id: 'caption-text' }, caption);

    const slideNav = make('div', { id: 'slide-nav' }, stage);
    function navButton(id, image, label) {
      const button = make('button', { id, type: 'button', class: 'nav-button', 'aria-label': label }, slideNav);
      const picture = make('img', { src: image, alt: '', draggable: 'false' }, button);
      picture.addEventListener('load', () => {
        buttonSizes[id === 'back-button' ? 'back' : 'next'] = {
          width: picture.naturalWidth, height: picture.naturalHeight,
        };
        arrange();
      });
      return button;
    }
    const backButton = navButton('back-button', 'back_button.jpg', 'Previous photo');
    const nextButton = navButton('next-button', 'next_button.jpg', 'Next photo');

    const thumbNav = make('nav', { id: 'thumb-nav', 'aria-labelledby': 'thumbs-heading' }, stage);
    make('h2', { id: 'thumbs-heading', class: 'visually-hidden' }, thumbNav, 'Photos');
    const thumbs = make('div', { id: 'thumbs', role: 'list' }, thumbNav);
    const grid = gridGeometry(layout, count);
    const cellStyle = {
      borderWidth: `${FRAME_BORDER}px`,
      borderColor: rgba(layout.thumb_ln, layout.thumb_a),
      backgroundColor: rgba(layout.thumb_bg, layout.thumb_a),
    };

    let pager = null;
    let pageInput = null;
    const pageButtons = {};
    if (pageCount > 1) {
      pager = make('div', { id: 'pager', role: 'group', 'aria-label': 'Pages of photos' }, thumbNav);
      const pageButton = (id, text, label) => {
        pageButtons[id] = make('button', { id, type: 'button', 'aria-label': label }, pager, text);
      };
      pageButton('page-first', '\u00AB', 'First page');
      pageButton('page-back', '\u2039', 'Previous page');
      make('label', { for: 'page-input' }, pager, 'Page');
      pageInput = make('input', {
        id: 'page-input', type: 'text', inputmode: 'numeric', autocomplete: 'off',
        'aria-describedby': 'page-count',
      }, pager);
      make('span', { id: 'page-count' }, pager, `of ${pageCount}`);
      pageButton('page-next', '\u203A', 'Next page');
      pageButton('page-last', '\u00BB', 'Last page');
    }

    // ---- Arrangements ----

    function place(element, left, top) {
      element.style.left = `${left}px`;
      element.style.top = `${top}px`;
    }

    function clearPlace(...elements) {
      for (const element of elements) {
        for (const property of ['left', 'top', 'width', 'height', 'maxHeight', 'minHeight', 'transform']) {
          element.style[property] = '';
        }
      }
    }

    function chooseArrangement(width, height) {
      if (fullView) return 'full';
      if (fixedArrangement === 'layout') return 'layout';
      const scale = Math.min(width / design.width, height / design.height);
      return height > width && scale < STACK_BELOW_SCALE ? 'stacked' : 'layout';
    }

    // The page controls' size in the design, measured once while they stand
    // on their own (stacked, they stretch over the window's width).
    let pagerSize = null;

    function arrange() {
      if (pager && !pagerSize) pagerSize = { width: pager.offsetWidth, height: pager.offsetHeight };
      design = designOf(layout, count, buttonSizes, pagerSize);
      const width = root.clientWidth;
      const height = window.innerHeight;
      arrangement = chooseArrangement(width, height - header.offsetHeight);
      setState('data-arrangement', arrangement);
      clearPlace(...[stageBox, stage, frame, caption, backButton, nextButton, thumbs, pager].filter(Boolean));
      styleFrame(arrangement === 'full' ? null : layout.slide_p);
      if (arrangement === 'layout') arrangeLayout(width, height - header.offsetHeight);
      else if (arrangement === 'stacked') arrangeStacked(width, height);
      else arrangeFull(width, height);
      // A caption longer than its box scrolls, and must then take the focus
      // so that keys can scroll it.
      caption.tabIndex = caption.scrollHeight > caption.clientHeight + 1 ? 0 : -1;
    }

    // In full screen the photo stands alone, without its frame.
    function styleFrame(padding) {
      Object.assign(frame.style, padding === null ? {
        padding: '0', borderWidth: '0', backgroundColor: 'transparent',
      } : {
        padding: `${padding}px`,
        borderWidth: `${FRAME_BORDER}px`,
        backgroundColor: rgba(layout.slide_bg, layout.slide_a),
      });
    }

    // The design as the values say, scaled down as a whole when the window is
    // smaller; a larger window lets the slide grow where nothing bounds it.
    function arrangeLayout(windowWidth, windowHeight) {
      const scale = Math.min(1, windowWidth / design.width, windowHeight / design.height);
      setState('data-scale', scale.toFixed(3));
      const roomRight = design.bounds.right !== null ? design.bounds.right
        : Math.max(design.slide.right, windowWidth / scale - STAGE_MARGIN);
      const roomBottom = design.bounds.bottom !== null ? design.bounds.bottom
        : Math.max(design.slide.bottom, windowHeight / scale - STAGE_MARGIN - design.bounds.captionSpace);
      const stageWidth = Math.max(design.width, roomRight + STAGE_MARGIN);
      const stageHeight = Math.max(design.height, roomBottom + design.bounds.captionSpace + STAGE_MARGIN);
      Object.assign(stage.style, {
        width: `${stageWidth}px`, height: `${stageHeight}px`, transform: `scale(${scale})`,
      });
      Object.assign(stageBox.style, {
        width: `${Math.floor(stageWidth * scale)}px`, height: `${Math.floor(stageHeight * scale)}px`,
      });
      place(frame, layout.slide_x, layout.slide_y);
      place(backButton, design.back.left, design.back.top);
      place(nextButton, design.next.left, design.next.top);
      place(thumbs, design.grid.frame.left, design.grid.frame.top);
      styleGrid(1);
      if (pager) place(pager, design.pager.left, design.pager.top);
      const inner = {
        width: roomRight - layout.slide_x - design.bounds.chrome,
        height: roomBottom - layout.slide_y - design.bounds.chrome,
      };
      const picture = fitSlide(inner);
      const captionTop = layout.slide_y + design.bounds.chrome + picture.height + GAP;
      // The caption grows with its text down to whatever stands below it,
      // and scrolls beyond that.
      const below = design.bounds.below.filter((part) => part.left < layout.slide_x + layout.caption_w);
      const limit = Math.min(stageHeight - STAGE_MARGIN, ...below.map((part) => part.top - GAP));
      place(caption, layout.slide_x, captionTop);
      Object.assign(caption.style, {
        width: `${layout.caption_w}px`,
        minHeight: `${layout.caption_h}px`,
        maxHeight: `${Math.max(layout.caption_h, limit - captionTop)}px`,
      });
    }

    // One column: the slide as wide as the window, its caption growing to
    // its text, Back and Next, then the grid scaled to the window's width.
    function arrangeStacked(windowWidth, windowHeight) {
      setState('data-scale', '1');
      const usable = windowWidth - 2 * STACK_MARGIN;
      const padding = Math.min(layout.slide_p, Math.round(usable / 20));
      styleFrame(padding);
      caption.style.minHeight = `${layout.caption_h}px`;
      fitSlide({
        width: usable - 2 * (padding + FRAME_BORDER),
        height: Math.round(windowHeight * 0.7) - 2 * (padding + FRAME_BORDER),
      });
      const gridWidth = design.grid.frame.width;
      styleGrid(Math.min(STACK_MAX_THUMB_SCALE, usable / gridWidth));
    }

    function arrangeFull(windowWidth, windowHeight) {
      setState('data-scale', '1');
      Object.assign(caption.style, { width: `${windowWidth}px`, maxHeight: `${Math.round(windowHeight / 4)}px` });
      caption.style.minHeight = '';
      const captionHeight = captionText.textContent || captionDate.textContent ? caption.offsetHeight : 0;
      const picture = fitSlide({ width: windowWidth, height: windowHeight - captionHeight }, true);
      place(frame, Math.round((windowWidth - picture.width) / 2),
        Math.round((windowHeight - captionHeight - picture.height) / 2));
      place(caption, 0, windowHeight - captionHeight);
      const middle = Math.round((windowHeight - captionHeight) / 2);
      place(backButton, 12, middle - Math.round(buttonSizes.back.height / 2));
      place(nextButton, windowWidth - 12 - buttonSizes.next.width, middle - Math.round(buttonSizes.next.height / 2));
    }

    function styleGrid(scale) {
      const cellWidth = grid.cellWidth * scale;
      const cellHeight = grid.cellHeight * scale;
      Object.assign(thumbs.style, {
        gridTemplateColumns: `repeat(${grid.columns}, ${cellWidth}px)`,
        gridAutoRows: `${cellHeight}px`,
        gap: `${Math.max(0, grid.gap * scale)}px`,
      });
      thumbs.dataset.scale = String(scale);
      for (const cell of thumbs.querySelectorAll('.thumb-cell')) styleCell(cell, scale);
    }

    function styleCell(cell, scale) {
      Object.assign(cell.style, cellStyle, {
        width: `${grid.cellWidth * scale}px`,
        height: `${grid.cellHeight * scale}px`,
        padding: `${Math.max(0, grid.pad * scale - FRAME_BORDER)}px`,
      });
    }

    // The album gives each slide's stored pixel size; the browser turns photos
    // upright by their EXIF orientation, so a size whose sides are crossed
    // against the decoded picture is taken turned.
    function slideSize(photo) {
      let width = photo.slideWidth;
      let height = photo.slideHeight;
      const naturalWidth = slide.naturalWidth;
      const naturalHeight = slide.naturalHeight;
      const decoded = slide.complete && naturalWidth > 0 && naturalHeight > 0;
      if (!(width > 0 && height > 0)) {
        return decoded ? { width: naturalWidth, height: naturalHeight } : null;
      }
      if (decoded && width !== height && naturalWidth !== naturalHeight
          && (width > height) !== (naturalWidth > naturalHeight)) {
        [width, height] = [height, width];
      }
      return { width, height };
    }

    // Photos are shrunk to their room, never blown up, except to fill the
    // screen in full screen.
    function fitSlide(room, mayGrow) {
      if (current < 0) return { width: 0, height: 0 };
      const size = slideSize(photos[current]) || PLACEHOLDER_SIZE;
      const fit = Math.min(room.width / size.width, room.height / size.height);
      const scale = mayGrow ? fit : Math.min(1, fit);
      const width = Math.max(1, Math.round(size.width * scale));
      const height = Math.max(1, Math.round(size.height * scale));
      slide.width = width;
      slide.height = height;
      return { width, height };
    }

    // ---- Thumbnail pages ----

    function markCurrentThumb() {
      for (const cell of thumbs.querySelectorAll('.thumb-cell')) {
        if (Number(cell.dataset.index) === current) cell.setAttribute('aria-current', 'true');
        else cell.removeAttribute('aria-current');
      }
    }

    // Only the page shown has cells, so thumbnails of other pages are not
    // fetched until their page is shown. Cells are rebuilt only when the page
    // changes, so a focused thumbnail keeps the focus when it is chosen.
    function renderPage() {
      if (renderedPage === page) {
        markCurrentThumb();
        return;
      }
      const hadFocus = thumbs.contains(document.activeElement);
      renderedPage = page;
      thumbs.replaceChildren();
      const scale = Number(thumbs.dataset.scale) || 1;
      const first = page * perPage;
      const last = Math.min(count, first + perPage);
      for (let index = first; index < last; ++index) {
        const item = make('div', { role: 'listitem' }, thumbs);
        const cell = make('button', {
          type: 'button', class: 'thumb-cell', 'data-index': String(index),
          'aria-label': `Photo ${index + 1} of ${count}`,
        }, item);
        styleCell(cell, scale);
        make('img', {
          class: 'thumb', src: photos[index].thumbUrl, alt: '', decoding: 'async',
          'data-index': String(index), draggable: 'false',
        }, cell);
        cell.addEventListener('click', () => { pauseSlideshow(); show(index); });
      }
      markCurrentThumb();
      if (hadFocus && thumbs.querySelector('button')) thumbs.querySelector('button').focus();
      if (pager) {
        pageInput.value = String(page + 1);
        pageButtons['page-first'].disabled = pageButtons['page-back'].disabled = page === 0;
        pageButtons['page-last'].disabled = pageButtons['page-next'].disabled = page === pageCount - 1;
      }
      setState('data-thumb-page', page);
      setState('data-thumb-pages', pageCount);
    }

    function showPage(target) {
      const wanted = clamp(target, 0, pageCount - 1);
      if (wanted === page) {
        if (pageInput) pageInput.value = String(page + 1);
        return;
      }
      page = wanted;
      renderPage();
    }

    // ---- Slides ----

    const preloaded = new Map();
    function preloadNeighbours() {
      const wanted = [current + 1, current - 1].filter((index) => index >= 0 && index < count);
      for (const index of [...preloaded.keys()]) {
        if (!wanted.includes(index)) preloaded.delete(index);
      }
      for (const index of wanted) {
        if (preloaded.has(index)) continue;
        const image = new Image();
        image.src = photos[index].slideUrl;
        preloaded.set(index, image);
      }
    }

    function announce(index) {
      const photo = photos[index];
      counter.textContent = `${index + 1} / ${count}`;
      status.textContent = `Photo ${index + 1} of ${count}: ${photo.label}`;
    }

    function show(target) {
      if (!count) return;
      const index = clamp(target, 0, count - 1);
      if (index === current) {
        showPage(Math.floor(index / perPage));
        return;
      }
      current = index;
      const photo = photos[index];
      const ticket = ++loadTicket;
      setState('data-slide-state', 'loading');
      slide.onload = () => {
        if (ticket !== loadTicket) return;
        arrange();
        setState('data-slide-state', 'loaded');
        preloadNeighbours();
        scheduleSlideshow();
      };
      slide.onerror = () => {
        if (ticket !== loadTicket) return;
        setState('data-slide-state', 'error');
        scheduleSlideshow();
      };
      slide.classList.remove('arriving');
      slide.alt = photo.label;
      slide.src = photo.slideUrl;
      // Restarts the fade-in for the new photo.
      void slide.offsetWidth;
      slide.classList.add('arriving');

      captionDate.textContent = photo.date;
      captionText.textContent = photo.description;
      page = Math.floor(index / perPage);
      renderPage();
      arrange();
      caption.scrollTop = 0;
      backButton.disabled = index === 0;
      nextButton.disabled = index === count - 1;
      document.title = `${title} (${index + 1}/${count})`;
      announce(index);
      setState('data-slide-index', index);
      rememberInLocation(index);
    }

    function rememberInLocation(index) {
      const hash = `#${index + 1}`;
      if (location.hash === hash) return;
      try {
        history.replaceState(null, '', hash);
      } catch (error) {
        // Some browsers refuse history changes on pages opened from disk;
        // the album works the same without it.
      }
    }

    function indexFromLocation() {
      const match = /^#(\d+)$/.exec(location.hash);
      return match ? clamp(Number(match[1]) - 1, 0, Math.max(0, count - 1)) : 0;
    }

    // ---- Slideshow ----

    let slideshowPlaying = false;
    let slideshowTimer = 0;

    function scheduleSlideshow() {
      clearTimeout(slideshowTimer);
      if (!slideshowPlaying) return;
      slideshowTimer = setTimeout(() => {
        if (slideshowPlaying) show(current + 1 < count ? current + 1 : 0);
      }, SLIDESHOW_SECONDS * 1000);
    }

    function setSlideshow(playing) {
      slideshowPlaying = playing && count > 1;
      slideshowButton.setAttribute('aria-pressed', String(slideshowPlaying));
      slideshowButton.textContent = slideshowPlaying ? 'Pause' : 'Slideshow';
      slideshowButton.setAttribute('aria-label', slideshowPlaying ? 'Pause slideshow' : 'Play slideshow');
      // Announcing every photo of a running show would drown the reader.
      status.setAttribute('aria-live', slideshowPlaying ? 'off' : 'polite');
      setState('data-slideshow', slideshowPlaying ? 'playing' : 'paused');
      scheduleSlideshow();
    }

    function pauseSlideshow() {
      if (slideshowPlaying) setSlideshow(false);
    }

    // ---- Full screen ----

    function setFullView(on) {
      if (fullView === on) return;
      fullView = on;
      fullscreenButton.setAttribute('aria-pressed', String(on));
      fullscreenButton.textContent = on ? 'Leave full screen' : 'Full screen';
      arrange();
      // Where the browser refuses full screen (a frame, a page without a
      // user's gesture), the album still fills its window.
      const fullscreen = document.fullscreenElement;
      if (on && !fullscreen && root.requestFullscreen) {
        root.requestFullscreen().catch(() => {});
      } else if (!on && fullscreen && document.exitFullscreen) {
        document.exitFullscreen().catch(() => {});
      }
    }

    document.addEventListener('fullscreenchange', () => {
      if (!document.fullscreenElement) setFullView(false);
    });

    // ---- Input ----

    backButton.addEventListener('click', () => { pauseSlideshow(); show(current - 1); });
    nextButton.addEventListener('click', () => { pauseSlideshow(); show(current + 1); });
    slideshowButton.addEventListener('click', () => setSlideshow(!slideshowPlaying));
    fullscreenButton.addEventListener('click', () => setFullView(!fullView));
    if (pager) {
      const actions = {
        'page-first': () => 0, 'page-back': () => page - 1,
        'page-next': () => page + 1, 'page-last': () => pageCount - 1,
      };
      for (const [id, target] of Object.entries(actions)) {
        pageButtons[id].addEventListener('click', () => showPage(target()));
      }
      pageInput.addEventListener('change', () => {
        const wanted = readNumber(pageInput.value);
        showPage(Number.isNaN(wanted) ? page : Math.round(wanted) - 1);
      });
    }

    // Keys act on the album unless a control of their own has the focus:
    // the page field keeps its arrows, buttons keep Space and Enter.
    document.addEventListener('keydown', (event) => {
      if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey) return;
      const target = event.target;
      const typing = target instanceof HTMLInputElement;
      const onButton = target instanceof HTMLButtonElement;
      const slideKeys = {
        ArrowLeft: () => show(current - 1),
        ArrowRight: () => show(current + 1),
        Home: () => show(0),
        End: () => show(count - 1),
        PageUp: () => showPage(page - 1),
        PageDown: () => showPage(page + 1),
      };
      let action = null;
      if (slideKeys[event.key] && !typing && count) {
        action = () => { pauseSlideshow(); slideKeys[event.key](); };
      } else if ((event.key === 'f' || event.key === 'F') && !typing) {
        action = () => setFullView(!fullView);
      } else if (event.key === 'Escape' && fullView) {
        action = () => setFullView(false);
      } else if (event.key === ' ' && !typing && !onButton) {
        action = () => setSlideshow(!slideshowPlaying);
      }
      if (!action) return;
      event.preventDefault();
      action();
    });

    let swipe = null;
    frame.addEventListener('pointerdown', (event) => {
      if (event.pointerType === 'mouse') return;
      swipe = { id: event.pointerId, x: event.clientX, y: event.clientY };
    });
    frame.addEventListener('pointerup', (event) => {
      if (!swipe || swipe.id !== event.pointerId) return;
      const dx = event.clientX - swipe.x;
      const dy = event.clientY - swipe.y;
      swipe = null;
      if (Math.abs(dx) >= SWIPE_DISTANCE && Math.abs(dx) > 1.5 * Math.abs(dy)) {
        pauseSlideshow();
        show(dx < 0 ? current + 1 : current - 1);
      }
    });
    frame.addEventListener('pointercancel', () => { swipe = null; });

    let resizePending = false;
    window.addEventListener('resize', () => {
      if (resizePending) return;
      resizePending = true;
      requestAnimationFrame(() => {
        resizePending = false;
        arrange();
      });
    });
    window.addEventListener('hashchange', () => show(indexFromLocation()));
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) pauseSlideshow();
    });

    setState('data-slide-count', count);
    setSlideshow(false);
    if (count) {
      show(indexFromLocation());
    } else {
      captionText.textContent = 'This album holds no photos.';
      backButton.disabled = true;
      nextButton.disabled = true;
      slideshowButton.disabled = true;
      fullscreenButton.disabled = true;
      renderPage();
      arrange();
      setState('data-slide-index', -1);
    }
  }

  function start() {
    try {
      const layout = readLayout(document.getElementById('sorvel-layout'));
      const photos = readPhotos();
      buildAlbum(layout, photos, albumTitle(), requestedArrangement());
      // The photo list for browsers without scripts has been read; a large
      // album's list is a lot of document to keep.
      const fallback = document.getElementById('sorvel-fallback');
      if (fallback) fallback.remove();
      root.setAttribute('data-player', 'ready');
    } catch (error) {
      root.setAttribute('data-player', 'error');
      root.setAttribute('data-player-error', String(error && error.message || error));
      // Shows the photo list again, if it is still there.
      root.removeAttribute('data-script');
      throw error;
    }
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', start, { once: true });
  } else {
    start();
  }
})();
