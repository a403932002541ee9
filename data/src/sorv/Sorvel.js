/*
 * Sorvel album player.
 *
 * Sorvel.xml carries the album as data: the layout values in #sorvel-layout and
 * one .sorvel-photo element per photo, every value as the text of a
 * [data-field] element. This script reads them from its own document (no
 * fetch: a page opened from disk may not read other files) and builds the
 * album: slide frame, caption box, thumbnail grid with pages, Back and Next.
 *
 * Values arrive as the user typed them, so numbers are read leniently and a
 * value that cannot be read falls back to the album's default layout.
 *
 * State the page exposes on <html> (read by tests and scripts):
 *   data-player       "ready" once the first view is built, "error" if the
 *                     album could not be built (data-player-error: why)
 *   data-slide-count  number of photos
 *   data-slide-index  0-based index of the photo shown, -1 for an empty album
 *   data-slide-state  "loading", "loaded" or "error" for the photo shown
 *   data-thumb-page   0-based thumbnail page shown, data-thumb-pages: how many
 * Elements: img#slide (the photo, inside div#slide-frame; absent in an empty
 * album), div#caption (span#caption-date, span#caption-text), div#thumbs with
 * one button.thumb-cell[data-index] > img.thumb[data-index] per photo of the
 * page shown (the cell of the photo shown has class "current"),
 * button#back-button and button#next-button (disabled at either end), and
 * div#pager (button#page-back, span#page-label, button#page-next) when there
 * is more than one thumbnail page. The location hash "#N" names the N-th photo.
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
  const DEFAULT_COLOUR = '000000';
  const COLOUR_FIELDS = ['slide_bg', 'slide_ln', 'thumb_bg', 'thumb_ln', 'caption_bg', 'caption_ln'];

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
  const WINDOW_MARGIN = 10;
  const MIN_SLIDE_ROOM = 120;
  const SWIPE_DISTANCE = 40;
  const PLACEHOLDER_SIZE = { width: 400, height: 300 };

  const root = document.documentElement;

  // In a document read as XML, createElement() makes elements of no namespace,
  // which the browser does not render as HTML.
  function make(tag, attributes, parent) {
    const element = document.createElementNS(XHTML, tag);
    for (const [name, value] of Object.entries(attributes || {})) {
      element.setAttribute(name, value);
    }
    if (parent) parent.appendChild(element);
    return element;
  }

  function fieldText(scope, name) {
    const element = scope ? scope.querySelector(`[data-field="${name}"]`) : null;
    return element ? element.textContent : '';
  }

  function readNumber(text) {
    const value = Number.parseFloat(String(text).trim());
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

  function readColour(text) {
    const match = /^\s*(?:0x|#)?([0-9a-f]{6})\s*$/i.exec(text);
    return (match ? match[1] : DEFAULT_COLOUR).toUpperCase();
  }

  function readLayout(scope) {
    const layout = {};
    const number = (name) => readNumber(fieldText(scope, name));
    for (const name of POSITION_FIELDS) {
      const value = number(name);
      layout[name] = Number.isNaN(value) ? DEFAULT_LAYOUT[name] : clamp(value, 0, MAX_PIXELS);
    }
    for (const name of SIZE_FIELDS) {
      const value = number(name);
      layout[name] = value > 0 ? Math.min(value, MAX_PIXELS) : DEFAULT_LAYOUT[name];
    }
    for (const name of SPACE_FIELDS) {
      const value = number(name);
      layout[name] = Number.isNaN(value) ? DEFAULT_LAYOUT[name] : clamp(value, 0, MAX_PIXELS);
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
    for (const name of COLOUR_FIELDS) {
      layout[name] = readColour(fieldText(scope, name));
    }
    return layout;
  }

  function rgba(hex, alphaPercent) {
    const rgb = [0, 2, 4].map((at) => Number.parseInt(hex.slice(at, at + 2), 16));
    return `rgba(${rgb.join(', ')}, ${alphaPercent / 100})`;
  }

  // Black or white, whichever reads better on the given background.
  function textColourOn(hex) {
    const linear = [0, 2, 4].map((at) => {
      const channel = Number.parseInt(hex.slice(at, at + 2), 16) / 255;
      return channel <= 0.04045 ? channel / 12.92 : ((channel + 0.055) / 1.055) ** 2.4;
    });
    const luminance = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
    return (luminance + 0.05) / 0.05 > 1.05 / (luminance + 0.05) ? '#000000' : '#FFFFFF';
  }

  // File names may hold blanks, '#', '%', '&' or any letter: each path part is
  // encoded, never pasted into the URL as it stands.
  function fileUrl(path) {
    return path.split('/')
      .map((part) => (part === '' || part === '.' || part === '..') ? part : encodeURIComponent(part))
      .join('/');
  }

  function readPhotos() {
    const photos = [];
    for (const element of document.querySelectorAll('#sorvel-photos > .sorvel-photo')) {
      const thumbSrc = fieldText(element, 'thumb_src');
      const slideSrc = fieldText(element, 'slide_src') || thumbSrc;
      if (!slideSrc) continue;
      photos.push({
        thumbUrl: fileUrl(thumbSrc || slideSrc),
        slideUrl: fileUrl(slideSrc),
        name: slideSrc.slice(slideSrc.lastIndexOf('/') + 1),
        slideWidth: readNumber(fieldText(element, 'slide_width')),
        slideHeight: readNumber(fieldText(element, 'slide_height')),
        date: fieldText(element, 'date'),
        description: fieldText(element, 'description'),
      });
    }
    return photos;
  }

  const STYLE = `
html, body { margin: 0; padding: 0; background: #FFFFFF; }
body { font: 13px/1.4 system-ui, "DejaVu Sans", sans-serif; color: #202020; }
#slide-frame { position: absolute; border-style: solid; touch-action: pan-y pinch-zoom; }
#slide { display: block; object-fit: contain; user-select: none; -webkit-user-drag: none; }
#thumbs { position: absolute; display: grid; }
.thumb-cell { display: block; box-sizing: border-box; margin: 0; border-style: solid;
  cursor: pointer; font: inherit; }
.thumb-cell.current { outline: 3px solid #E8A317; outline-offset: 1px; }
.thumb { display: block; width: 100%; height: 100%; object-fit: contain;
  user-select: none; -webkit-user-drag: none; }
.nav-button { position: absolute; margin: 0; padding: 0; border: 0; background: none;
  cursor: pointer; line-height: 0; }
.nav-button:disabled { opacity: 0.35; cursor: default; }
.nav-button img { display: block; }
#pager { position: absolute; display: flex; align-items: center; gap: 6px; white-space: nowrap; }
#pager button { min-width: 26px; height: 22px; padding: 0 6px; border: 1px solid #808080;
  border-radius: 3px; background: #F4F4F4; color: #202020; font: inherit; cursor: pointer; }
#pager button:disabled { opacity: 0.4; cursor: default; }
#caption { position: absolute; box-sizing: border-box; border-style: solid; margin: 0;
  padding: 3px 6px; overflow: auto; scrollbar-width: thin; white-space: pre-wrap;
  overflow-wrap: anywhere; }
#caption-date { opacity: 0.75; margin-right: 0.8em; }
#caption-date:empty { display: none; }
:focus-visible { outline: 2px solid #1A73E8; outline-offset: 2px; }
`;

  function buildAlbum(layout, photos) {
    const count = photos.length;
    const perPage = layout.thumb_r * layout.thumb_c;
    const pageCount = Math.max(1, Math.ceil(count / perPage));
    let current = -1;
    let page = 0;
    let loadTicket = 0;

    make('style', {}, document.head || root).textContent = STYLE;
    const body = document.body || make('body', {}, root);
    const notice = document.getElementById('sorvel-notice');
    if (notice) notice.remove();

    const frameChrome = 2 * (layout.slide_p + FRAME_BORDER);
    const frame = make('div', { id: 'slide-frame' }, body);
    Object.assign(frame.style, {
      left: `${layout.slide_x}px`,
      top: `${layout.slide_y}px`,
      padding: `${layout.slide_p}px`,
      borderWidth: `${FRAME_BORDER}px`,
      borderColor: rgba(layout.slide_ln, layout.slide_a),
      backgroundColor: rgba(layout.slide_bg, layout.slide_a),
    });
    const slide = count ? make('img', { id: 'slide', alt: '', draggable: 'false' }, frame) : null;
    if (!count) frame.hidden = true;

    const caption = make('div', { id: 'caption', 'aria-live': 'polite' }, body);
    Object.assign(caption.style, {
      left: `${layout.slide_x}px`,
      width: `${layout.caption_w}px`,
      height: `${layout.caption_h}px`,
      borderWidth: `${FRAME_BORDER}px`,
      borderColor: `#${layout.caption_ln}`,
      backgroundColor: `#${layout.caption_bg}`,
      color: textColourOn(layout.caption_bg),
    });
    const captionDate = make('span', { id: 'caption-date' }, caption);
    const captionText = make('span', { id: 'caption-text' }, caption);

    // A thumbnail frame is thumb_w x thumb_h in all, its border and padding
    // included; padding too large for the frame shrinks to what fits.
    const cellPadding = Math.max(0, Math.min(layout.thumb_p,
      layout.thumb_w / 2 - FRAME_BORDER, layout.thumb_h / 2 - FRAME_BORDER));
    const gridHeight = layout.thumb_r * layout.thumb_h + (layout.thumb_r - 1) * layout.thumb_s;
    // The part of the grid that the fullest page fills, the same on every page.
    const filledCells = Math.min(count, perPage);
    const filledColumns = Math.min(layout.thumb_c, filledCells);
    const filledRows = Math.ceil(filledCells / layout.thumb_c);
    const filledGrid = filledCells === 0 ? null : {
      left: layout.thumb_x,
      top: layout.thumb_y,
      right: layout.thumb_x + filledColumns * layout.thumb_w + (filledColumns - 1) * layout.thumb_s,
      bottom: layout.thumb_y + filledRows * layout.thumb_h + (filledRows - 1) * layout.thumb_s,
    };
    const thumbs = make('div', { id: 'thumbs', role: 'group', 'aria-label': 'Photos' }, body);
    Object.assign(thumbs.style, {
      left: `${layout.thumb_x}px`,
      top: `${layout.thumb_y}px`,
      gridTemplateColumns: `repeat(${layout.thumb_c}, ${layout.thumb_w}px)`,
      gridAutoRows: `${layout.thumb_h}px`,
      gap: `${layout.thumb_s}px`,
    });

    function navButton(id, x, y, image, label) {
      const button = make('button', { id, type: 'button', class: 'nav-button', 'aria-label': label }, body);
      button.style.left = `${x}px`;
      button.style.top = `${y}px`;
      const picture = make('img', { src: image, alt: label, draggable: 'false' }, button);
      picture.addEventListener('load', () => fitSlide());
      return button;
    }
    const backButton = navButton('back-button', layout.bbutton_x, layout.bbutton_y,
      'back_button.jpg', 'Previous photo');
    const nextButton = navButton('next-button', layout.nbutton_x, layout.nbutton_y,
      'next_button.jpg', 'Next photo');

    let pager = null;
    let pageBack = null;
    let pageNext = null;
    let pageLabel = null;
    if (pageCount > 1) {
      pager = make('div', { id: 'pager' }, body);
      pager.style.left = `${layout.thumb_x}px`;
      pager.style.top = `${layout.thumb_y + gridHeight + 8}px`;
      pageBack = make('button', { id: 'page-back', type: 'button', 'aria-label': 'Previous page' }, pager);
      pageBack.textContent = '\u2039';
      pageLabel = make('span', { id: 'page-label' }, pager);
      pageNext = make('button', { id: 'page-next', type: 'button', 'aria-label': 'Next page' }, pager);
      pageNext.textContent = '\u203A';
    }

    // The slide may not cover the thumbnails, the buttons or the pager when
    // they stand to its right or below it: those limit the room it may take.
    function obstacles() {
      const boxes = [backButton, nextButton, pager].filter(Boolean)
        .map((element) => element.getBoundingClientRect())
        .filter((box) => box.width > 0 && box.height > 0)
        .map((box) => ({
          left: box.left + window.scrollX,
          top: box.top + window.scrollY,
          right: box.right + window.scrollX,
          bottom: box.bottom + window.scrollY,
        }));
      return filledGrid ? [filledGrid, ...boxes] : boxes;
    }

    function slideRoom() {
      const captionSpace = GAP + layout.caption_h;
      const left = layout.slide_x;
      const top = layout.slide_y;
      // The root element's client box is the window less its scroll bars.
      let width = root.clientWidth - WINDOW_MARGIN - left - frameChrome;
      let height = root.clientHeight - WINDOW_MARGIN - top - frameChrome - captionSpace;
      for (const box of obstacles()) {
        const besideRoom = box.left - GAP - left - frameChrome;
        const belowRoom = box.top - GAP - top - frameChrome - captionSpace;
        const overlapsRows = box.top < top + frameChrome + height + captionSpace && box.bottom > top;
        const overlapsColumns = box.left < left + frameChrome + width && box.right > left;
        if (besideRoom >= MIN_SLIDE_ROOM && overlapsRows) {
          width = Math.min(width, besideRoom);
        } else if (belowRoom >= MIN_SLIDE_ROOM && overlapsColumns) {
          height = Math.min(height, belowRoom);
        }
      }
      return { width: Math.max(MIN_SLIDE_ROOM, width), height: Math.max(MIN_SLIDE_ROOM, height) };
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

    function fitSlide() {
      if (!slide || current < 0) return;
      const size = slideSize(photos[current]) || PLACEHOLDER_SIZE;
      const room = slideRoom();
      const scale = Math.min(1, room.width / size.width, room.height / size.height);
      const width = Math.max(1, Math.round(size.width * scale));
      const height = Math.max(1, Math.round(size.height * scale));
      slide.width = width;
      slide.height = height;
      caption.style.top = `${layout.slide_y + frameChrome + height + GAP}px`;
    }

    function setState(name, value) {
      root.setAttribute(name, String(value));
    }

    let renderedPage = -1;

    function markCurrentThumb() {
      for (const cell of thumbs.children) {
        const isCurrent = Number(cell.dataset.index) === current;
        cell.classList.toggle('current', isCurrent);
        if (isCurrent) cell.setAttribute('aria-current', 'true');
        else cell.removeAttribute('aria-current');
      }
    }

    // Cells are rebuilt only when the page changes, so a focused thumbnail
    // keeps the focus when it is chosen.
    function renderPage() {
      if (renderedPage === page) {
        markCurrentThumb();
        return;
      }
      renderedPage = page;
      thumbs.replaceChildren();
      const first = page * perPage;
      const last = Math.min(count, first + perPage);
      for (let index = first; index < last; ++index) {
        const cell = make('button', {
          type: 'button', class: 'thumb-cell', 'data-index': String(index),
          'aria-label': `Photo ${index + 1} of ${count}`,
        }, thumbs);
        Object.assign(cell.style, {
          width: `${layout.thumb_w}px`,
          height: `${layout.thumb_h}px`,
          padding: `${cellPadding}px`,
          borderWidth: `${FRAME_BORDER}px`,
          borderColor: rgba(layout.thumb_ln, layout.thumb_a),
          backgroundColor: rgba(layout.thumb_bg, layout.thumb_a),
        });
        make('img', {
          class: 'thumb', src: photos[index].thumbUrl, alt: '',
          'data-index': String(index), draggable: 'false',
        }, cell);
        cell.addEventListener('click', () => show(index));
      }
      markCurrentThumb();
      if (pager) {
        pageLabel.textContent = `${page + 1} / ${pageCount}`;
        pageBack.disabled = page === 0;
        pageNext.disabled = page === pageCount - 1;
      }
      setState('data-thumb-page', page);
      setState('data-thumb-pages', pageCount);
    }

    function showPage(target) {
      const wanted = clamp(target, 0, pageCount - 1);
      if (wanted === page) return;
      page = wanted;
      renderPage();
    }

    function preload(index) {
      if (index >= 0 && index < count) new Image().src = photos[index].slideUrl;
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
        fitSlide();
        setState('data-slide-state', 'loaded');
      };
      slide.onerror = () => {
        if (ticket === loadTicket) setState('data-slide-state', 'error');
      };
      slide.alt = photo.name;
      slide.src = photo.slideUrl;

      captionDate.textContent = photo.date;
      captionText.textContent = photo.description;

      page = Math.floor(index / perPage);
      renderPage();
      fitSlide();
      backButton.disabled = index === 0;
      nextButton.disabled = index === count - 1;
      document.title = `Photo album (${index + 1}/${count})`;
      setState('data-slide-index', index);
      rememberInLocation(index);
      preload(index + 1);
      preload(index - 1);
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

    backButton.addEventListener('click', () => show(current - 1));
    nextButton.addEventListener('click', () => show(current + 1));
    if (pager) {
      pageBack.addEventListener('click', () => showPage(page - 1));
      pageNext.addEventListener('click', () => showPage(page + 1));
    }

    document.addEventListener('keydown', (event) => {
      if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey) return;
      const actions = {
        ArrowLeft: () => show(current - 1),
        ArrowRight: () => show(current + 1),
        Home: () => show(0),
        End: () => show(count - 1),
      };
      const action = actions[event.key];
      if (!action || !count) return;
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
        fitSlide();
      });
    });
    window.addEventListener('hashchange', () => show(indexFromLocation()));

    setState('data-slide-count', count);
    if (count) {
      show(indexFromLocation());
    } else {
      caption.style.top = `${layout.slide_y}px`;
      captionText.textContent = 'This album holds no photos.';
      backButton.disabled = true;
      nextButton.disabled = true;
      renderPage();
      setState('data-slide-index', -1);
    }
  }

  function start() {
    try {
      buildAlbum(readLayout(document.getElementById('sorvel-layout')), readPhotos());
      root.setAttribute('data-player', 'ready');
    } catch (error) {
      root.setAttribute('data-player', 'error');
      root.setAttribute('data-player-error', String(error && error.message || error));
      const notice = document.getElementById('sorvel-notice')
        || make('p', { id: 'sorvel-notice' }, document.body || root);
      notice.textContent = `This photo album could not be shown: ${error}`;
      throw error;
    }
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', start, { once: true });
  } else {
    start();
  }
})();
