<li class="sorvel-photo">
<span data-field="thumb_src"><![CDATA[./samples/thumb.jpg]]></span>
<span data-field="slide_src"><![CDATA[./samples/slide.jpg]]></span>
<span data-field="thumb_width"><![CDATA[240]]></span>
<span data-field="thumb_height"><![CDATA[160]]></span>
<span data-field="slide_width"><![CDATA[960]]></span>
<span data-field="slide_height"><![CDATA[640]]></span>
<span data-field="date"><![CDATA[1 June 2024]]></span>
<span data-field="description"><![CDATA[A photo's description shows here, in the text box.]]></span>
</li>
